' Late-bound VBScript client of the 2019 ISO file: fills the batch of data/iso2019.json, the
' structured address parts (StreetName, BuildingNumber, PostCode, Town, Country) set by name
' where the batch gives them, and writes it as FileType 3 in both flavours into the folder
' given as the first argument. Before each file it prints "now <file> <local time>" so the
' test can write the same file with payfile for that second; a failed write prints
' "error <file> <Err.Number in hex> <Err.Description>". Texts beyond ASCII come from Chr()
' (code page 1252 bytes): Wine's cscript reads script files as ASCII only.
Option Explicit
On Error Resume Next

Dim ue, oe, ae
ue = Chr(252)
oe = Chr(246)
ae = Chr(228)

Const kDebitAccount = "CH0400778010123456789"

Dim folder, manager, sender, payment
folder = WScript.Arguments(0)
Set manager = CreateObject("Veltrano.PayManager")

Sub SetParts(address, streetName, buildingNumber, postCode, town, country)
  address.StreetName = streetName
  address.BuildingNumber = buildingNumber
  address.PostCode = postCode
  address.Town = town
  address.Country = country
End Sub

Function NewPayment(payType, amount, reason, account)
  Dim p
  Set p = manager.NewPayment(payType)
  p.Date = DateSerial(2026, 12, 23)
  p.Amount = amount
  p.Reason = reason
  p.BankSrc.Name1 = "Luzerner Kantonalbank"
  p.BankSrc.City = "6003 Luzern"
  p.BankSrc.ID = "778"
  p.BankSrc.Account = kDebitAccount
  p.BankDst.Account = account
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

Set sender = manager.Setting.Sender
sender.Name1 = "Schreinerei Amrein AG"
SetParts sender, "Werkstrasse", "14", "6030", "Ebikon", "CH"
sender.Account = kDebitAccount
manager.Setting.IsSalary = False
manager.Setting.CostCurrency = "CHF"

Set payment = NewPayment(9, "6240.35", "Lohn Dezember 2026", "CH93 0076 2011 6238 5295 7")
payment.IsSalary = True
payment.Receiver.Name1 = "Anna M" & ue & "ller"
payment.Receiver.Name2 = "c/o Meier"
SetParts payment.Receiver, "Bahnhofstrasse", "5", "6003", "Luzern", "ch"

Set payment = NewPayment(9, CCur("5310.65"), "Lohn Dezember 2026", "CH8900235000012345678")
payment.IsSalary = True
payment.Receiver.Name1 = "Luca Rossi"
payment.Receiver.Street = "Seestrasse 88"
payment.Receiver.City = "6052 Hergiswil"

Set payment = NewPayment(9, 5120, "Lohn Dezember 2026", "DE89 3704 0044 0532 0130 00")
payment.Currency = "EUR"
payment.IsSalary = True
payment.CostCode = 0
payment.BankDst.Name1 = "Commerzbank"
payment.BankDst.BIC = "COBADEFFXXX"
payment.Receiver.Name1 = "Thomas Becker"
SetParts payment.Receiver, "Rheinstrasse", "40", "79539", "L" & oe & "rrach", "DE"

Set payment = NewPayment(5, "1150.00", "Lehrlingslohn Dezember 2026", "25-12345-2")
payment.IsSalary = True
payment.Receiver.Name1 = "Fatima Berisha"
SetParts payment.Receiver, "Kirchweg", "7", "6020", "Emmenbr" & ue & "cke", "CH"

Set payment = NewPayment(9, "4630.40", "BVG-Beitr" & ae & "ge Dezember 2026", "CH52 3000 0001 3913 9100 0")
payment.ESR = "21 00000 00003 13947 14300 09017"
payment.Receiver.Name1 = "Pensionskasse Zentralschweiz"
SetParts payment.Receiver, "Pilatusstrasse", "30", "6002", "Luzern", "CH"

Set payment = NewPayment(9, "612.70", "Quellensteuer Dezember 2026", "CH64 0077 8010 0000 1234 5")
payment.ESR = "RF36 QST2 0261 2123 4"
payment.Receiver.Name1 = "Dienststelle Steuern"
payment.Receiver.Name2 = "Quellensteuer"
payment.Receiver.Street = "Buobenmatt 1"
payment.Receiver.City = "6002 Luzern"

' Every put above must have worked: a failed one stops the test here.
If Err.Number <> 0 Then
  WScript.Echo "error fill " & Hex(Err.Number) & " " & Err.Description
  Err.Clear
End If

' The parts read back as put.
WScript.Echo "parts " & sender.StreetName & "|" & sender.BuildingNumber & "|" & sender.PostCode & "|" & _
             sender.Town & "|" & sender.Country

Sub WriteOne(name, swiss)
  WScript.Echo "now " & name & " " & Stamp()
  manager.WriteFile folder & "\" & name, 3, "2026-12", swiss
  If Err.Number <> 0 Then
    WScript.Echo "error " & name & " " & Hex(Err.Number) & " " & Replace(Err.Description, vbLf, "/")
    Err.Clear
  End If
End Sub

WriteOne "pay2019-ch.xml", True
WriteOne "pay2019-generic.xml", False

WScript.Echo "done"
