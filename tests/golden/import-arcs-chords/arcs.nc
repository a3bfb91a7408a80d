(arcs in G17: centres I J, both senses, R both ways, a full circle)
G21 G90 G17
G0 X0 Y0 Z0
G1 X10 F500
G3 X20 Y10 I0 J10
G2 X30 Y20 I10 J0
G2 X40 Y10 R10
G2 X30 Y0 R-10
G3 X30 Y0 I-5 J0
G1 X0 Y0
M30
