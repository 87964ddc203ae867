'
'out/far_target.bas

'
'far_target  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction fartarget
	00000000
27bdffe0 afbf001c afb10018 afb00014 0411FFEF 
	00808825 00408025 0f400000 2624ffff 02021021 8fbf001c 8fb10018 8fb00014 
	03e00008 27bd0020 
End CFunction
