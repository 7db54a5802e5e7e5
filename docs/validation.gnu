# The flame temperature with dissociation of the default sweep (1 atm)
# beside the reference, for both data files, and the differences.
# Called by tools/validation-plot with the data file of zuna4-validate --plot
# as `data` and the picture as `out`:
#   gnuplot -e "data='validation.tsv'; out='validation.png'" validation.gnu
set terminal pngcairo size 900,900 font "Liberation Sans,11"
set output out
set datafile separator "\t"
set multiplot layout 2,1
set grid
set key bottom center
set xlabel "r = (O/F) / (O/F) stoichiometric"
set ylabel "T with dissociation [K]"
set title "Adiabatic flame temperature, H2/O2 at 1 atm"
plot data using 1:2 with points pt 7 ps 1.2 lc rgb "black" title "reference (NASA CEA 3.0)", \
     data using 1:3 with linespoints pt 6 lc rgb "blue" title "zuna.dat (NASA Glenn, 200-6000 K)", \
     data using 1:5 with linespoints pt 4 lc rgb "red" title "zuna-gri30.dat (GRI-Mech 3.0, 200-3500 K)"
set ylabel "T - T reference [K]"
set title "Difference from the reference"
set key top left
plot data using 1:4 with linespoints pt 6 lc rgb "blue" title "zuna.dat", \
     data using 1:6 with linespoints pt 4 lc rgb "red" title "zuna-gri30.dat", \
     0 with lines lc rgb "gray" notitle
unset multiplot
