'
'out/edge_high.bas

'
'edge_high  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction edgehigh
	00000000
03e00008 00000000 
End CFunction
