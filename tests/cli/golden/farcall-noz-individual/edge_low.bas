'
'out/edge_low.bas

'
'edge_low  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction edgelow
	00000000
03e00008 00000000 
End CFunction
