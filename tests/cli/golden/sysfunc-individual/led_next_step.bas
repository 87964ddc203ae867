'
'out/led_next_step.bas

'
'led_next_step  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction lednextstep
	00000000
	27bdffe0 afbf001c afb10018 afb00014 00808025 24910001 0411FFE9 02202025 
	14400003 02201025 26110002 02201025 8fbf001c 8fb10018 8fb00014 03e00008 
	27bd0020 
End CFunction
