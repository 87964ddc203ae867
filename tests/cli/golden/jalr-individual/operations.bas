'
'out/operations.bas

'
'DATA CFunction:operations  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction operations
	00000000
9d000000 9d000008 9d000010 00000000 
End CFunction
