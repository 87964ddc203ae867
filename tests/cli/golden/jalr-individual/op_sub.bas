'
'out/op_sub.bas

'
'op_sub  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction opsub
	00000000
03e00008 00851023 
End CFunction
