# Specific impulse against O/F for each exit of the rocket performance
# (isp.dat: a line naming the columns, then per O/F the Isp and Ivac [s] of
# each exit, "?" where an exit has no value; after two blank lines, per exit
# the best O/F with its Isp and Ivac, and whether each best O/F lies at an
# end of the range computed). Run by "wgnuplot isp.gnu", which chooses the
# terminal.
set encoding utf8
set datafile missing "?"
set title "Impulso específico do motor-foguete H2/O2"
set xlabel "O/F (massa de O2 / massa de H2)"
set ylabel "Impulso específico (s)"
set grid
# A small key below the plot: one entry per exit (Isp, solid; its Ivac is
# the dashed curve of the same colour), in as many columns as fit.
set key below horizontal samplen 2 spacing 0.9 font ",9"
# The columns of the first block: O/F, then Isp and Ivac of each exit.
stats "isp.dat" index 0 using 1 nooutput
exits = (STATS_columns - 1) / 2
# The best O/F of each exit, written beside its point in the colour of its
# curve (Isp's below its point, Ivac's above); "(no extremo)" when it lies
# at an end of the range, where the highest value may lie beyond.
best(of, at_end) = sprintf("%.2f", of) . (at_end != 0 ? " (no extremo)" : "")
plot for [k=1:exits] "isp.dat" index 0 using 1:2*k with lines linewidth 2 \
         linecolor k title columnheader(2*k), \
     for [k=1:exits] "isp.dat" index 0 using 1:2*k+1 with lines dashtype 2 \
         linecolor k notitle, \
     for [k=1:exits] "isp.dat" index 1 every ::k-1::k-1 \
         using 2:3:(best($2, $6)) with labels offset character 0,-0.9 \
         textcolor linetype k point pointtype 7 pointsize 1.2 linecolor k notitle, \
     for [k=1:exits] "isp.dat" index 1 every ::k-1::k-1 \
         using 4:5:(best($4, $7)) with labels offset character 0,0.9 \
         textcolor linetype k point pointtype 6 pointsize 1.2 linecolor k notitle, \
     NaN with lines dashtype 2 linecolor rgb "black" title "Ivac (tracejado)", \
     NaN with points pointtype 7 linecolor rgb "black" title "melhor O/F (Isp)", \
     NaN with points pointtype 6 linecolor rgb "black" title "melhor O/F (Ivac)"
