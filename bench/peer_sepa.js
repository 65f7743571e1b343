// The peer for the whole-process comparison: reads the same payfile JSON batch and writes
// its transfers as one pain.001.001.03 document with the public API of the npm package
// `sepa` (installed outside the repository by bench/compare-peer.sh).
//   node bench/peer_sepa.js PEER_MODULE_DIR BATCH.json OUT.xml [pain.001.001.09]
"use strict";
const fs = require("fs");
const path = require("path");

const [moduleDir, batchPath, outPath, format = "pain.001.001.03"] = process.argv.slice(2);
const SEPA = require(path.join(moduleDir, "node_modules", "sepa"));
const batch = JSON.parse(fs.readFileSync(batchPath, "utf8"));

const compact = (text) => (text || "").replace(/ /g, "").toUpperCase();
const isIban = (text) => /^[A-Z]{2}[0-9]{2}[A-Z0-9]+$/.test(text);

const doc = new SEPA.Document(format);
doc.grpHdr.id = "QRV-" + Date.now();
doc.grpHdr.created = new Date();
doc.grpHdr.initiatorName = batch.settings.Sender.Name1;

const first = batch.payments[0];
const info = doc.createPaymentInfo();
info.requestedExecutionDate = new Date(first.Date || Date.now());
info.debtorIBAN = compact(first.BankSrc.Account);
info.debtorName = batch.settings.Sender.Name1;
doc.addPaymentInfo(info);

// The peer knows IBAN transfers only: a payment to a postal account or by ESR reference
// is sent to the last IBAN seen, so every payment of the batch becomes one transfer.
let lastIban = info.debtorIBAN;
batch.payments.forEach((payment, index) => {
  const account = compact(payment.BankDst && payment.BankDst.Account);
  const ownIban = isIban(account);
  if (ownIban) lastIban = account;
  const tx = info.createTransaction();
  tx.creditorName = (payment.Receiver && payment.Receiver.Name1) || "Unbekannt";
  tx.creditorIBAN = lastIban;
  if (ownIban && payment.BankDst.BIC) tx.creditorBIC = payment.BankDst.BIC;
  tx.amount = Number(payment.Amount);
  tx.remittanceInfo = payment.Reason || payment.ESR || "Zahlung";
  tx.end2endId = "X" + (index + 1);
  info.addTransaction(tx);
});

fs.writeFileSync(outPath, doc.toString());
