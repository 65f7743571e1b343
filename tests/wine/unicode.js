// Late-bound JScript client: texts outside code page 1252 (a name with L-stroke, an emoji
// as a surrogate pair, Cyrillic) reach the component from here, because Wine's VBScript has
// no ChrW and reads no Unicode script files. JScript numbers arrive as VT_I4 when integral
// and as VT_R8 otherwise; there is no currency type. Writes the batch of
// data/unicode.json as a Swiss ISO file into the folder given as the first argument, after
// printing "now <file> <local time>", then prints "done".
var folder = WScript.Arguments(0);
var manager = new ActiveXObject("Veltrano.PayManager");

function twoDigits(n) { return (n < 10 ? "0" : "") + n; }
function stamp() {
  var n = new Date();
  return n.getFullYear() + "-" + twoDigits(n.getMonth() + 1) + "-" + twoDigits(n.getDate()) + "T" +
         twoDigits(n.getHours()) + ":" + twoDigits(n.getMinutes()) + ":" + twoDigits(n.getSeconds());
}

var setting = manager.Setting;
setting.Sender.Name1 = "\u0141\u00f3d\u017a Payroll \u2013 Sp. z o.o.";
setting.Sender.City = "90-001 \u0141\u00f3d\u017a";
setting.IsSalary = true;

var first = manager.NewPayment(9);
first.Date = 45002.5;
first.Amount = 4500;
first.Reason = "Lohn \ud83d\ude00 \u041c\u0430\u0440\u0442";
first.BankSrc.Account = "CH93 0076 2011 6238 5295 7";
first.BankDst.Account = "CH56 0483 5012 3456 7800 9";
first.Receiver.Name1 = "\u0141ukasz Nowak";
first.Receiver.City = "8001 Z\u00fcrich";

var second = manager.NewPayment(9);
second.Date = 45002;
second.Amount = 12.5;
second.IsSalary = true;
second.CostCode = 2;
second.Reason = "\u4e2d\u6587 \u00bd";
second.BankSrc.Account = "CH93 0076 2011 6238 5295 7";
second.BankDst.Account = "DE89370400440532013000";
second.Receiver.Name1 = "Ji\u0159\u00ed Dvo\u0159\u00e1k";

WScript.Echo("now pay-unicode.xml " + stamp());
manager.WriteFile(folder + "\\pay-unicode.xml", 2, "2023-03", true);
WScript.Echo("done");
