'
'out/op_add.bas

'
'op_add  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction opadd
	00000000
	03e00008 00851021 
End CFunction
