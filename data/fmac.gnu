# Mass fractions of the six species with dissociation (fmac.dat: o/f, H2O,
# O2, H2, H, O, OH).
set encoding utf8
set title "Frações Mássicas dos Produtos com Dissociação"
set xlabel "o/f (O/F dividido pelo O/F estequiométrico)"
set ylabel "Fração mássica"
set grid
set key outside right
plot "fmac.dat" using 1:2 with linespoints title "H2O", \
     "" using 1:3 with linespoints title "O2", \
     "" using 1:4 with linespoints title "H2", \
     "" using 1:5 with linespoints title "H", \
     "" using 1:6 with linespoints title "O", \
     "" using 1:7 with linespoints title "OH"
