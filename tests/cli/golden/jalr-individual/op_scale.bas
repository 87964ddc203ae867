'
'out/op_scale.bas

'
'op_scale  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction opscale
	00000000
70851002 03e00008 00021203 
End CFunction
