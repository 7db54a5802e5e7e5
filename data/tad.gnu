# Adiabatic flame temperature without and with dissociation (tad.dat:
# o/f, Tad sem, Tad com). Run by "wgnuplot tad.gnu", which chooses the terminal.
set encoding utf8
set title "Temperatura Adiabática de Chama - sem e com dissociação"
set xlabel "o/f (O/F dividido pelo O/F estequiométrico)"
set ylabel "Temperatura (K)"
set grid
set key bottom right
plot "tad.dat" using 1:2 with linespoints title "Tad sem dissociação", \
     "" using 1:3 with linespoints title "Tad com dissociação"
