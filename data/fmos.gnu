# Mole fractions of reactants and products without dissociation (fmos.dat:
# o/f, yh2r, yo2r, yh2o, yo2, yh2).
set encoding utf8
set title "Frações Molares dos Produtos sem Dissociação"
set xlabel "o/f (O/F dividido pelo O/F estequiométrico)"
set ylabel "Fração molar"
set grid
set key outside right
plot "fmos.dat" using 1:2 with linespoints title "H2 reagente", \
     "" using 1:3 with linespoints title "O2 reagente", \
     "" using 1:4 with linespoints title "H2O", \
     "" using 1:5 with linespoints title "O2", \
     "" using 1:6 with linespoints title "H2"
