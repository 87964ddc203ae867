'
'out/near_caller.bas

'
'near_caller  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction nearcaller
	00000000
27bdffe0 afbf001c afb10018 afb00014 0411FFF0 
	00808825 00408025 0f40802b 26240001 00108100 02021021 8fbf001c 8fb10018 
	8fb00014 03e00008 27bd0020 
End CFunction
