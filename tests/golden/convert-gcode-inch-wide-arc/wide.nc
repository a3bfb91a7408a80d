(a wide arc of an inch program, its end rounded to three decimals)
G20 G90 G17
G0 X0 Y0 Z0.2
G1 Z-0.05 F20.
G3 X10.000 Y1.450 I0. J35.236
G1 X11. F40.
G0 Z0.2
M30
