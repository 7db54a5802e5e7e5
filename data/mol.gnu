# Mean molar mass of the products without and with dissociation (mol.dat:
# o/f, produtos sem, produtos com).
set encoding utf8
set title "Massa Molecular dos Produtos"
set xlabel "o/f (O/F dividido pelo O/F estequiométrico)"
set ylabel "Massa molecular média (g/mol)"
set grid
set key bottom right
plot "mol.dat" using 1:2 with linespoints title "sem dissociação", \
     "" using 1:3 with linespoints title "com dissociação"
