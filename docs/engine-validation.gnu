# The equilibrium engine's flame temperature at 1 atm on the default grid:
# beside NASA CEA 3.0 with the same NASA Glenn records, and beside the
# program's sweep on zuna.dat. Data from the engine tests:
#   ZUNA_ENGINE_PLOT=engine-validation.tsv build/tests/engine/engine_tests \
#       --gtest_filter=EngineBesideSweep.PlotData
#   gnuplot -e "data='engine-validation.tsv'; out='engine-validation.png'" engine-validation.gnu
set terminal pngcairo size 900,900 font "Liberation Sans,11" noenhanced
set output out
set datafile separator "\t"
set multiplot layout 2,1
set grid
set xlabel "r = (O/F) / (O/F) stoichiometric"
set ylabel "T engine - T NASA CEA 3.0 [mK]"
set title "Equilibrium engine, built-in NASA Glenn records, beside NASA CEA 3.0 (HP, 1 atm)"
set key top right
plot data using 1:($3*1000) with linespoints pt 7 lc rgb "blue" title "engine - CEA (CEA printed to 0.1 mK)", \
     0.05 with lines dt 2 lc rgb "gray" title "half the last digit of CEA", \
     -0.05 with lines dt 2 lc rgb "gray" notitle
set ylabel "T sweep - T engine [mK]"
set title "The program's sweep (tad_diss, tolh = 1e-3 K) beside the engine, both on zuna.dat"
plot data using 1:($5*1000) with linespoints pt 6 lc rgb "red" title "sweep - engine", \
     1 with lines dt 2 lc rgb "gray" title "tolh", \
     -1 with lines dt 2 lc rgb "gray" notitle
unset multiplot
