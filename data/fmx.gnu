# Extents of the four dissociation reactions per mole of products (fmx.dat:
# a/c, R1, R2, R3, R4).
set encoding utf8
set title "Frações Molares das Reações de Dissociação"
set xlabel "o/f (O/F dividido pelo O/F estequiométrico)"
set ylabel "Grau de avanço / mol de produtos"
set grid
set key outside right
plot "fmx.dat" using 1:2 with linespoints title "R1: H2O <---> H + OH", \
     "" using 1:3 with linespoints title "R2: H2 <---> 2 H", \
     "" using 1:4 with linespoints title "R3: O2 <---> 2 O", \
     "" using 1:5 with linespoints title "R4: OH <---> O + H"
