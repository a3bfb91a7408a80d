(a bore of three turns, and a quarter arc with one turn more)
G21 G90 G17
G0 X10 Y0 Z2
G1 Z0 F200
G3 X10 Y0 Z-3 I-10 J0 P3
G3 X0 Y10 Z-5 I-10 J0 P2
G0 Z5
M30
