'
'out/blink_pattern.bas

'
'DATA CFunction:blink_pattern  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction blinkpattern
	00000000
00000001 00000000 00000001 00000001 00000000 00000001 00000000 
	00000000 
End CFunction
