'
'out/limited_average.bas

'
'limited_average  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction limitedaverage
	00000000
28a30011 
	24020010 1000FFDE 0043280a 
End CFunction
