'
'out/led_pattern_bit.bas

'
'led_pattern_bit  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction ledpatternbit
	00000000
	3c022aaa 3442aaab 00820018 00001010 00041fc3 00431023 00021840 00621021 
	00021040 00822023 00042080 3c029d00 244200f0 00822021 03e00008 8c820000 
End CFunction
