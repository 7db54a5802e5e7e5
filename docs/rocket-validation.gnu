# Specific impulse and characteristic velocity of H2/O2 (liquid reactants,
# Pc = 68.046 atm) over O/F, shifting and frozen at the chamber, beside the
# stations of the NASA CEA 3.0 table. Data: the CSV of the rocket subcommand
#   zuna4c rocket --of=2:12:201 --pi-p=10,100,1000 --ae-at=10,50 \
#       --model=equilibrium,frozen_chamber --csv=rocket.csv
# and the reference table of the tests; the picture as `out`:
#   gnuplot -e "data='rocket.csv'; ref='tests/rocket/data/cea-h2o2-rocket.tsv'; \
#       out='docs/rocket-validation.png'" docs/rocket-validation.gnu
set terminal pngcairo size 900,1000 font "Liberation Sans,11"
set output out
set datafile columnheaders
set datafile separator "\t"
set grid
set multiplot layout 2,1
set xlabel "O/F"
set xrange [2:12]
g0 = 9.80665
# The header and the rows of one exit of one model, tab-separated.
rows(model, exit, value) = sprintf("< awk -F, 'NR == 1 || ($1 == \"%s\" && $4 == \"%s\" && $5 == %s)' %s | tr , '\\t'", model, exit, value, data)
# One exit of one model in the reference; other rows not drawn.
refpick(model, exit, y) = (strcol("model") eq model && strcol("exit_condition") eq exit) ? y : 1/0

set title "Specific impulse (ambient pressure = exit pressure), Pc/Pe = 10, 100, 1000"
set ylabel "Isp [s]"
set key bottom right
plot for [pi in "10 100 1000"] rows("equilibrium", "pi_p", pi) using "of":(column("isp_m_s") / g0) \
         with lines lw 2 lc rgb "blue" title (pi eq "10" ? "shifting" : ""), \
     for [pi in "10 100 1000"] rows("frozen_chamber", "pi_p", pi) using "of":(column("isp_m_s") / g0) \
         with lines lw 2 dt 2 lc rgb "red" title (pi eq "10" ? "frozen at the chamber" : ""), \
     for [pi in "10 100 1000"] ref using "of":(refpick("equilibrium", "pi_p=".pi, column("isp_m_s") / g0)) \
         with points pt 7 ps 1.3 lc rgb "black" title (pi eq "10" ? "NASA CEA 3.0, shifting" : ""), \
     for [pi in "10 100 1000"] ref using "of":(refpick("frozen_chamber", "pi_p=".pi, column("isp_m_s") / g0)) \
         with points pt 6 ps 1.6 lc rgb "black" title (pi eq "10" ? "NASA CEA 3.0, frozen" : "")

set title "Characteristic velocity"
set ylabel "c* [m/s]"
set key top right
plot rows("equilibrium", "ae_at", "10") using "of":"cstar_m_s" with lines lw 2 lc rgb "blue" title "shifting", \
     rows("frozen_chamber", "ae_at", "10") using "of":"cstar_m_s" with lines lw 2 dt 2 lc rgb "red" \
         title "frozen at the chamber", \
     ref using "of":(refpick("equilibrium", "ae_at=10", column("cstar_m_s"))) \
         with points pt 7 ps 1.3 lc rgb "black" title "NASA CEA 3.0, shifting", \
     ref using "of":(refpick("frozen_chamber", "ae_at=10", column("cstar_m_s"))) \
         with points pt 6 ps 1.6 lc rgb "black" title "NASA CEA 3.0, frozen"
unset multiplot
