'
'out/far_helper.bas

'
'far_helper  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction farhelper
	00000000
28830065 
	10600003 00801025 03e00008 00000000 27bdffe8 afbf0014 0f400000 00000000 
	8fbf0014 03e00008 27bd0018 
End CFunction
