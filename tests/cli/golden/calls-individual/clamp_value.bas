'
'out/clamp_value.bas

'
'clamp_value  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction clampvalue
	00000000
0085102a 
	14400004 00c4182a 00c01025 03e00008 0083100a 03e00008 00a01025 
End CFunction
