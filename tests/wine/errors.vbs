' Failures as a late-bound script sees them: an unknown member, a value of the wrong type,
' WriteFile into a folder that does not exist, and an ISO file whose name is taken by a
' folder (the test makes it), so the final rename fails (both absorbed: no error reaches
' the script). Then the 2019 ISO file (FileType 3), whose failures are runtime errors with
' the component's status and message: a payment without receiver name, an empty batch and,
' for a batch it takes, a folder that does not exist.
' Prints one line "<case> <Err.Number in hex> <Err.Description>" per case (line feeds in the
' description as "/"), then "done".
Option Explicit
On Error Resume Next

Dim folder, manager, payment, other
folder = WScript.Arguments(0)
Set manager = CreateObject("Veltrano.PayManager")
Set payment = manager.NewPayment(9)

Sub Report(name)
  WScript.Echo name & " " & Hex(Err.Number) & " " & Replace(Err.Description, vbLf, "/")
  Err.Clear
End Sub

Err.Clear
manager.NoSuchMember
Report "unknown-member"

payment.Amount = "zwoelf Franken"
Report "type-mismatch"

manager.WriteFile folder & "\missing\pay.dta", 0, "", False
Report "missing-folder"

manager.WriteFile folder & "\taken.xml", 2, "2023-03", True
Report "name-taken"

' The sender has a name, so it is the payment that is refused.
manager.Setting.Sender.Name1 = "Muster AG"
manager.WriteFile folder & "\refused.xml", 3, "2026-12", True
Report "iso2019-refused"

Set other = CreateObject("Veltrano.PayManager")
other.WriteFile folder & "\empty.xml", 3, "2026-12", False
Report "iso2019-empty"

' How a script learns that writing failed: the error number is not 0.
payment.Amount = CCur("4500.40")
payment.Date = DateSerial(2026, 12, 23)
payment.BankSrc.Account = "CH93 0076 2011 6238 5295 7"
payment.BankDst.Account = "CH56 0483 5012 3456 7800 9"
payment.Receiver.Name1 = "Peter Zuercher"
payment.Receiver.Town = "Hochdorf"
payment.Receiver.Country = "CH"
Err.Clear
manager.WriteFile folder & "\missing\pay.xml", 3, "2026-12", True
If Err.Number <> 0 Then Report "iso2019-missing-folder"

WScript.Echo "done"
