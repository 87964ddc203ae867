'
'out/crc_step.bas

'
'crc_step  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction crcstep
	00000000
	00851826 3063000f 00031880 3c029d00 24420210 00621821 00042102 8c620000 
	03e00008 00821026 
End CFunction
