'
'out/scale_reading.bas

'
'scale_reading  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction scalereading
	00000000
30a50007 
	00052880 3c029d00 24420250 00a22821 8ca20000 70821002 3c030001 346486a0 
	346386a1 0043182a 0083100a 3c03fffe 24637960 0043202a 03e00008 0064100b 
End CFunction
