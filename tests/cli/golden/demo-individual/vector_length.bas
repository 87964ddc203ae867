'
'out/vector_length.bas

'
'vector_length  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction vectorlength
	00000000
27bdffe8 afbf0014 70a52802 70841002 
	0411FFDF 00452021 8fbf0014 03e00008 27bd0018 
End CFunction
