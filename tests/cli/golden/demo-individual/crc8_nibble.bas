'
'out/crc8_nibble.bas

'
'DATA CFunction:crc8_nibble  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction crc8nibble
	00000000
090e0700 
	15121b1c 31363f38 2d2a2324 
End CFunction
