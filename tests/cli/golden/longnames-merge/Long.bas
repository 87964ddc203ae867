'
'out/Long.bas

'
'Long  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester
'
CFunction Long
'stepper_motor_driver_convert_requested_speed_into_pulse_interval_in_ticks
	00000026
1880000f 3c027fff 3c02000f 24424240 0082102a 1040000c 3c05000f 00001025 
	24a54240 00041843 00832021 0085182a 1460fffc 24420001 03e00008 00000000 
	03e00008 3442ffff 03e00008 00001025 

'stepper_motor_driver_compute_acceleration_ramp_for_the_next_motion_segment
27bdffe0 afbf001c afb10018 afb00014 
0411FFE7 00a08825 00408025 0411FFE4 02202025 02021823 00031880 0050102a 
	00621021 8fbf001c 8fb10018 8fb00014 03e00008 27bd0020 

'main
27bdffe8 afbf0014 
	00042840 0411FFEA 00a42821 8fbf0014 03e00008 27bd0018 00000000 00000000 
End CFunction
