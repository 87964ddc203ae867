'
'out/edge_caller.bas

'
'edge_caller  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction edgecaller
	00000000
04117FFF 00000000 03e00008 
	00000000 
End CFunction
