(G92 shifts the coordinates; G90.1 takes arc centres as points)
G21 G90
G0 X10 Y10
G92 X0 Y0
G1 X5 Y0 F300
G90.1 G3 X10 Y5 I5 J5
G91.1 G3 X5 Y10 I-5 J0
G92.1
G0 X0 Y0
