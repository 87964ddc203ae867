'
'out/crc_nibble.bas

'
'DATA CFunction:crc_nibble  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction crcnibble
	00000000
00000000 1db71064 3b6e20c8 26d930ac 76dc4190 
	6b6b51f4 4db26158 5005713c edb88320 f00f9344 d6d6a3e8 cb61b38c 9b64c2b0 
	86d3d2d4 a00ae278 bdbdf21c 
End CFunction
