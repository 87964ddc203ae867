'
'out/near_helper.bas

'
'near_helper  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction nearhelper
	00000000
	10800008 00000000 00001025 30830001 00042042 1480fffd 00431021 03e00008 
	00000000 03e00008 00801025 
End CFunction
