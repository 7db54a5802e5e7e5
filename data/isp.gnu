# Specific impulse against O/F for each exit of the rocket performance
# (isp.dat: a line naming the columns, then per O/F the Isp and Ivac [s] of
# each exit, "?" where an exit has no value; after two blank lines, the best
# O/F of each exit with its Isp and Ivac). Run by "wgnuplot isp.gnu", which
# chooses the terminal.
set encoding utf8
set datafile missing "?"
set title "Impulso específico do motor-foguete H2/O2"
set xlabel "O/F (massa de O2 / massa de H2)"
set ylabel "Impulso específico (s)"
set grid
set key below
# The columns of the first block: O/F, then Isp and Ivac of each exit.
stats "isp.dat" index 0 using 1 nooutput
exits = (STATS_columns - 1) / 2
plot for [k=1:exits] "isp.dat" index 0 using 1:2*k with lines linewidth 2 \
         linecolor k title columnheader(2*k), \
     for [k=1:exits] "isp.dat" index 0 using 1:2*k+1 with lines dashtype 2 \
         linecolor k title columnheader(2*k+1), \
     "isp.dat" index 1 using 2:3 with points pointtype 7 pointsize 1.5 \
         linecolor rgb "black" title "melhor O/F (Isp)", \
     "" index 1 using 4:5 with points pointtype 6 pointsize 1.5 \
         linecolor rgb "black" title "melhor O/F (Ivac)"
