%
O12345678 (PART)
G21 G90
G0 X1.5E+01 Y 2.5e-01
G1 Z-1 F100
M30
(tools used)
T1 D=6.0 CR=0 - ZMIN=-1.0 - flat end mill
%
G0 X500
