' Failures as a late-bound script sees them: an unknown member, a value of the wrong type,
' WriteFile into a folder that does not exist, and an ISO file whose name is taken by a
' folder (the test makes it), so the final rename fails (both absorbed: no error reaches
' the script).
' Prints one line "<case> <Err.Number in hex> <Err.Description>" per case, then "done".
Option Explicit
On Error Resume Next

Dim manager, payment
Set manager = CreateObject("Veltrano.PayManager")
Set payment = manager.NewPayment(9)

Sub Report(name)
  WScript.Echo name & " " & Hex(Err.Number) & " " & Err.Description
  Err.Clear
End Sub

Err.Clear
manager.NoSuchMember
Report "unknown-member"

payment.Amount = "zwoelf Franken"
Report "type-mismatch"

manager.WriteFile WScript.Arguments(0) & "\missing\pay.dta", 0, "", False
Report "missing-folder"

manager.WriteFile WScript.Arguments(0) & "\taken.xml", 2, "2023-03", True
Report "name-taken"

WScript.Echo "done"
