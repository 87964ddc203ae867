'
'out/message.0.bas

'
'DATA CFunction:message.0  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction message.0
	00000000
34333231 38373635 00000039 00000000 
End CFunction
