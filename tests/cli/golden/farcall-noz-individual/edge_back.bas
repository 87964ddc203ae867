'
'out/edge_back.bas

'
'edge_back  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction edgeback
	00000000
0b40001b 00000000 00000000 
End CFunction
