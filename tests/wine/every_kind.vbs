' Late-bound VBScript client: fills a batch of every payment kind (the batch of
' data/every_kind_1252.json) and writes it as DTA, EZAG and both ISO flavours into the folder
' given as the first argument. Before each file it prints "now <file> <local time>" so the
' test can write the same file with payfile for that second.
' Wine's cscript reads script files as ASCII only (a UTF-16 file with a byte-order mark is
' not taken as Unicode) and has no ChrW: texts beyond ASCII are built with Chr() from code
' page 1252 bytes, and characters outside code page 1252 are sent from JScript instead.
' Amounts arrive as currency (CCur), double, integer and string; dates as VBScript dates and
' as doubles; IsSalary as True and as 1.
Option Explicit

Dim ae, oe, ue, sz, euro
ae = Chr(228)
oe = Chr(246)
ue = Chr(252)
sz = Chr(223)
euro = Chr(128)

Const kBankSrcAccount = "ch93 0076 2011 6238 5295 7"

Dim folder, manager, setting, payment
folder = WScript.Arguments(0)
Set manager = CreateObject("Veltrano.PayManager")

Sub SetAddress(address, name1, name2, street, city, id, account, bic)
  address.Name1 = name1
  address.Name2 = name2
  address.Street = street
  address.City = city
  address.ID = id
  address.Account = account
  address.BIC = bic
End Sub

Function NewPayment(payType, dateValue, amount, reason)
  Dim p
  Set p = manager.NewPayment(payType)
  If Not IsEmpty(dateValue) Then p.Date = dateValue
  p.Amount = amount
  p.Reason = reason
  SetAddress p.BankSrc, "", "", "", "", "700", kBankSrcAccount, ""
  Set NewPayment = p
End Function

Function TwoDigits(n)
  TwoDigits = Right("0" & n, 2)
End Function

Function Stamp()
  Dim n
  n = Now
  Stamp = Year(n) & "-" & TwoDigits(Month(n)) & "-" & TwoDigits(Day(n)) & "T" & _
          TwoDigits(Hour(n)) & ":" & TwoDigits(Minute(n)) & ":" & TwoDigits(Second(n))
End Function

Set setting = manager.Setting
SetAddress setting.Sender, "M" & ue & "ller & S" & oe & "hne AG", "Lohnb" & ue & "ro", "Seestrasse 10", _
           "8002 Z" & ue & "rich", "ignored", "ignored", "ignored"
setting.DtaID = "12345"
setting.CostAccount = "60-9-9"
setting.IsSalary = True
setting.DtaID_Sender = "ab-12x"
setting.CostCurrency = "CHF"

Set payment = NewPayment(0, 45000.75, CCur(100), "Spesen & Auslagen M" & ae & "rz")
SetAddress payment.BankDst, "", "", "", "", "700", "12-3456-7", ""
SetAddress payment.Receiver, "Hans Meier", "", "Bahnhofstrasse 1", "8001 Z" & ue & "rich", "", "", ""

Set payment = NewPayment(1, DateSerial(2023, 3, 15), "250.5", "")
payment.ESR = "123456789012345"
SetAddress payment.BankDst, "", "", "", "", "9000", "01-162-8", ""
SetAddress payment.Receiver, "Schweizerisches Rotes Kreuz", "", "", "3001 Bern", "", "", ""

Set payment = NewPayment(2, DateSerial(2023, 3, 15) + TimeSerial(18, 0, 0), "1234.5678", "")
payment.ESR = "210000000003139471430009017"
SetAddress payment.BankDst, "", "", "", "", "9000", "010391391", ""
SetAddress payment.Receiver, "Pensionskasse", "", "Postfach", "6002 Luzern", "", "", ""

Set payment = NewPayment(3, Empty, 0.0625, "")
payment.ESR = "12345"
SetAddress payment.BankDst, "", "", "", "", "9000", "010137958", ""
SetAddress payment.Receiver, "Ausgleichskasse", "", "", "", "", "", ""

Set payment = NewPayment(4, DateSerial(2023, 3, 16), CCur(-12.5), "R" & ue & "ckbuchung")
SetAddress payment.BankDst, "Berner Kantonalbank", "", "", "", "8390", "1234-5678.9", ""
SetAddress payment.Receiver, "Erika Muster", "c/o Beispiel", "Marktgasse 8", "3000 Bern 1", "", "", ""

Set payment = NewPayment(5, 45001, 850, "Lohn M" & ae & "rz")
SetAddress payment.BankDst, "", "", "", "", "", "1-2345-6", ""
SetAddress payment.Receiver, "Lukas Nowak", "", "Hauptstra" & sz & "e 4", "4051 Basel", "", "", ""

Set payment = NewPayment(6, DateSerial(2023, 3, 16), "300.25", "Treuhandzahlung")
SetAddress payment.BankSrc, "Treuhand Gut AG", "", "Postgasse 1", "6300 Zug", "80-2-2", "80-2-2", ""
SetAddress payment.BankDst, "", "", "", "", "80-2-2", "CH5604835012345678009", ""
SetAddress payment.Receiver, "Endbeg" & ue & "nstigter", "", "", "6300 Zug", "", "", ""

Set payment = NewPayment(7, DateSerial(2023, 3, 16), 75.1, "Auszahlung " & euro & " bar")
SetAddress payment.Receiver, "Anna B" & ae & "r", "", "Dorfplatz 2", "7000 Chur", "", "", ""

Set payment = NewPayment(8, DateSerial(2023, 3, 16), 10, "ohne Satz in DTA und EZAG")
SetAddress payment.Receiver, "Foreign Ltd", "", "", "London", "", "", ""

Set payment = NewPayment(9, DateSerial(2023, 3, 17), "4500.40", "Lohn" & Chr(0) & "geheim")
payment.Currency = ""
payment.IsSalary = True
payment.CostCode = 1
SetAddress payment.BankDst, "", "", "", "", "", "ch56 0483 5012 3456 7800 9", ""
SetAddress payment.Receiver, "Peter Z" & ue & "rcher", "", "Hauptstrasse 3", "6280 Hochdorf", "", "", ""

Set payment = NewPayment(9, DateSerial(2023, 3, 17), CCur(5120), _
                         "Lohn M" & ae & "rz 2023 f" & ue & "r Grenzg" & ae & "nger mit einem langen Text")
payment.Currency = "eur"
payment.IsSalary = 1
payment.CostCode = 0
SetAddress payment.BankDst, "Commerzbank", "", "", "K" & oe & "ln", "", "de89 3704 0044 0532 0130 00", "COBADEFFXXX"
SetAddress payment.Receiver, "Thomas Becker", "", "Rheinstrasse 40", "D-79539 L" & oe & "rrach", "", "", ""

Set payment = NewPayment(9, DateSerial(2023, 3, 17), "980", "")
payment.CostCode = 7
SetAddress payment.BankDst, "Deutsche Bank", "", "", "Frankfurt", "", "DE89370400440532013000", ""
SetAddress payment.Receiver, "Jan Nowak", "", "", "D-60311 Frankfurt", "", "", ""

Set payment = NewPayment(42, DateSerial(2023, 3, 17), "1", "")
SetAddress payment.Receiver, "Unbekannte Art", "", "", "", "", "", ""

Sub WriteOne(name, fileType, period, swiss)
  WScript.Echo "now " & name & " " & Stamp()
  manager.WriteFile folder & "\" & name, fileType, period, swiss
End Sub

WriteOne "pay.dta", 0, "", False
WriteOne "pay.ezag", 1, "", False
WriteOne "pay-ch.xml", 2, "2023-03", True
WriteOne "pay-generic.xml", 2, "2023-03", False

WScript.Echo "done"
