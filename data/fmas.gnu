# Mass fractions of reactants and products without dissociation (fmas.dat:
# o/f, fmh2r, fmo2r, fmh2o, fmo2, fmh2).
set encoding utf8
set title "Frações Mássicas dos Produtos sem Dissociação"
set xlabel "o/f (O/F dividido pelo O/F estequiométrico)"
set ylabel "Fração mássica"
set grid
set key outside right
plot "fmas.dat" using 1:2 with linespoints title "H2 reagente", \
     "" using 1:3 with linespoints title "O2 reagente", \
     "" using 1:4 with linespoints title "H2O", \
     "" using 1:5 with linespoints title "O2", \
     "" using 1:6 with linespoints title "H2"
