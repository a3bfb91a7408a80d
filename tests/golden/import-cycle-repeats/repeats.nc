(a row of holes by L under G91, one hole drilled twice under G90)
G21 G90 G17
G0 X0 Y0 Z5
G91 G81 G98 X10 Y0 Z-3 R-4 F100
X10 L3
G90 G81 X60 Y0 Z-2 R1 L2
G80
M30
