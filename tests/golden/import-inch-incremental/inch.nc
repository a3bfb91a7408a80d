(inches, incremental)
G20 G91
G1 X1. Y0.5 F10.
X-0.5 Y-0.25
G2 X1. Y0 I0.5 J0
G90 G0 X0 Y0
G21
