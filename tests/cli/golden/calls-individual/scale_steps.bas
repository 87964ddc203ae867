'
'out/scale_steps.bas

'
'DATA CFunction:scale_steps  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction scalesteps
	00000000
00000001 0000000a 00000064 000003e8 0f400010 
	0b400020 0c000004 08000008 
End CFunction
