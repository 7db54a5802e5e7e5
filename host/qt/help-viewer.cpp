#include "host/qt/help-viewer.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace zuna {
namespace {

const char* const kHelpText = R"(
<h2><a name="contents">%1 &mdash; help</a></h2>
<p>The program runs inside this frame. Each text window stands for a unit of
the program: the program writes its records there, and when it reads from a
unit it waits until you type a line in that window and press Enter. The
status bar shows the state of the computation (Running, Paused, Finished)
and, while a read waits, the window that waits for input.</p>
<ul>
<li><a href="#file">File menu</a></li>
<li><a href="#edit">Edit menu</a></li>
<li><a href="#view">View menu</a></li>
<li><a href="#state">State menu</a></li>
<li><a href="#window">Window menu</a></li>
<li><a href="#results-menu">Gr&aacute;ficos dos resultados</a></li>
<li><a href="#calculo">Menu C&aacute;lculo (desempenho como motor-foguete)</a></li>
<li><a href="#keys">Keys of a text window</a></li>
</ul>

<h3><a name="file">File menu</a></h3>
<p><a name="print"><b>Print...</b></a> prints the active window's whole
virtual screen on the default printer. A box says &ldquo;Printing In
Progress...&rdquo;; Cancel abandons the job.</p>
<p><a name="save"><b>Save...</b></a> saves the active window's whole virtual
screen as a bitmap file (.bmp).</p>
<p><a name="exit"><b>Exit</b></a> (Ctrl+C) ends the program at once, also
while it computes. Nothing is asked.</p>

<h3><a name="edit">Edit menu</a></h3>
<p><a name="select-text"><b>Select Text</b></a> pauses the computation and
lets you mark characters with the mouse; the title starts with &ldquo;Mark
Text&rdquo;, then &ldquo;Select Text&rdquo; once something is marked.</p>
<p><a name="select-graphics"><b>Select Graphics</b></a> does the same for a
rectangle of the picture.</p>
<p><a name="select-all"><b>Select All</b></a> marks the whole window.</p>
<p><a name="copy"><b>Copy</b></a> (Ctrl+Ins) puts the marked text, or the
marked picture, on the clipboard, ends the selection and lets the
computation go on, unless you chose Pause during the selection.</p>
<p><a name="paste"><b>Paste</b></a> (Shift+Ins) types the clipboard's text
into the window, line by line, as the program reads it.</p>

<h3><a name="view">View menu</a></h3>
<p><a name="size-to-fit"><b>Size To Fit</b></a> shows the whole virtual
screen scaled to the window instead of a scrolled part of it.</p>
<p><a name="full-screen"><b>Full Screen</b></a> (Alt+Enter) shows the active
window alone on the whole screen; Alt+Enter again returns.</p>

<h3><a name="state">State menu</a></h3>
<p><a name="pause"><b>Pause</b></a> (Ctrl+S) stops the computation at its
next output; <b>Resume</b> (Ctrl+Q or Esc) lets it go on. The windows can be
scrolled, copied, saved and printed meanwhile.</p>

<h3><a name="window">Window menu</a></h3>
<p><a name="cascade"><b>Cascade</b></a>, <a name="tile"><b>Tile</b></a> and
<a name="arrange-icons"><b>Arrange Icons</b></a> arrange the text windows.
<a name="input"><b>Input</b></a> brings the window that waits for input to
the front. <a name="clear-paste"><b>Clear Paste</b></a> throws away the
rest of a paste. <a name="status-bar"><b>Status Bar</b></a> shows or hides
the status bar. The open windows are listed at the end of the menu.</p>

<h3><a name="results-menu">Gr&aacute;ficos dos resultados</a></h3>
<p>Depois de cada c&aacute;lculo, o di&aacute;logo &ldquo;gr&aacute;ficos&rdquo;
oferece os gr&aacute;ficos dos resultados (a temperatura de chama
adiab&aacute;tica, as fra&ccedil;&otilde;es molares e m&aacute;ssicas dos
produtos sem e com dissocia&ccedil;&atilde;o, as fra&ccedil;&otilde;es das
rea&ccedil;&otilde;es de dissocia&ccedil;&atilde;o e a massa molecular dos
produtos), a listagem do relat&oacute;rio <tt>saida</tt>, um novo
c&aacute;lculo e o fim do programa. Escolha um item e pressione OK (ou
Enter).</p>
<p>Pelo teclado: as setas percorrem os itens e escolhem o item
alcan&ccedil;ado; Enter pressiona OK; Tab passa de um item a OK; F1 mostra
este texto.</p>
<p>Cada gr&aacute;fico abre numa janela pr&oacute;pria e o di&aacute;logo
volta em seguida, de modo que v&aacute;rios gr&aacute;ficos e a listagem
podem ficar abertos lado a lado. Cada gr&aacute;fico mostra os dados do
c&aacute;lculo em que foi aberto: um novo c&aacute;lculo n&atilde;o o altera.
Feche um gr&aacute;fico com o bot&atilde;o de fechar da janela ou com a tecla
q. Ao fechar o programa, fecham-se com ele os gr&aacute;ficos e a listagem
que ele abriu; um relat&oacute;rio aberto no editor de textos da
&aacute;rea de trabalho continua aberto.</p>

<h3><a name="calculo">Menu C&aacute;lculo</a></h3>
<p>O menu aparece depois do primeiro c&aacute;lculo, e seus itens ficam
dispon&iacute;veis enquanto o menu de gr&aacute;ficos dos resultados espera
uma escolha.</p>
<p><a name="rocket"><b>Desempenho como motor-foguete...</b></a> calcula, para
os mesmos pontos de O/F do c&aacute;lculo feito, o desempenho de um
motor-foguete de H2/O2 com c&acirc;mara de &aacute;rea infinita: a
c&acirc;mara (equil&iacute;brio a entalpia e press&atilde;o constantes), a
garganta s&ocirc;nica e as sa&iacute;das pedidas (expans&atilde;o
isentr&oacute;pica). O di&aacute;logo pede a press&atilde;o na c&acirc;mara
(de 1E-4 a 1E4 atm), at&eacute; quatro raz&otilde;es de press&atilde;o Pc/Pe
(maiores que 1) e quatro raz&otilde;es de &aacute;rea Ae/At (1 ou maiores;
campo vazio: n&atilde;o usado), o modelo da expans&atilde;o (equil&iacute;brio,
com a composi&ccedil;&atilde;o variando ao longo do bocal; congelado na
c&acirc;mara; congelado na garganta) e os reagentes (l&iacute;quidos ou gases
a 298,15 K). Um valor fora da faixa &eacute; recusado com uma mensagem que o
nomeia, e o di&aacute;logo volta com os valores digitados. Os O/F do
c&aacute;lculo devem estar entre 0,1 e 40 vezes o estequiom&eacute;trico.
O resultado aparece numa janela pr&oacute;pria (Isp de cada sa&iacute;da por
O/F e o melhor O/F) e nos arquivos <tt>foguete</tt> (a tabela completa por
esta&ccedil;&atilde;o) e <tt>isp.dat</tt> (dados do gr&aacute;fico).</p>
<p><a name="rocket-plot"><b>Gr&aacute;fico do impulso espec&iacute;fico</b></a>
desenha Isp e Ivac [s] contra O/F para cada sa&iacute;da, com o melhor O/F
marcado (<tt>wgnuplot isp.gnu</tt>).
<a name="rocket-listing"><b>Listagem do desempenho</b></a> mostra o arquivo
<tt>foguete</tt> (<tt>notepad foguete</tt>). Os dois ficam dispon&iacute;veis
depois do primeiro c&aacute;lculo de desempenho.</p>
<p><a name="rocket-quantities"><b>As grandezas</b></a> de cada
esta&ccedil;&atilde;o (c&acirc;mara, garganta, sa&iacute;das):</p>
<ul>
<li><b>Pc/P</b>: press&atilde;o da c&acirc;mara dividida pela da
esta&ccedil;&atilde;o; <b>P</b> [bar], <b>T</b> [K], <b>rho</b>: massa
espec&iacute;fica [kg/m3].</li>
<li><b>H</b> [kJ/kg] e <b>S</b> [kJ/(kg K)]: entalpia e entropia por massa de
mistura; <b>M</b> [g/mol]: massa molar m&eacute;dia dos produtos.</li>
<li><b>Cp</b> [kJ/(kg K)]: calor espec&iacute;fico a press&atilde;o constante;
<b>gama_s</b>: expoente isentr&oacute;pico (d ln P / d ln rho a entropia
constante); <b>vel.som</b> [m/s]: velocidade do som. Onde a
composi&ccedil;&atilde;o est&aacute; congelada, s&atilde;o os valores
congelados.</li>
<li><b>Mach</b>: velocidade do escoamento dividida pela do som.</li>
<li><b>Ae/At</b>: &aacute;rea da sa&iacute;da dividida pela da
garganta.</li>
<li><b>c*</b> [m/s]: velocidade caracter&iacute;stica, Pc At / vaz&atilde;o
m&aacute;ssica.</li>
<li><b>Cf</b>: coeficiente de empuxo, Isp / c*.</li>
<li><b>Isp</b>: impulso espec&iacute;fico com press&atilde;o ambiente igual
&agrave; da sa&iacute;da (empuxo por vaz&atilde;o m&aacute;ssica), em m/s e em
s (dividido por g0 = 9,80665 m/s2); <b>Ivac</b>: impulso no v&aacute;cuo,
Isp + Pe Ae / vaz&atilde;o.</li>
<li><b>x</b>: fra&ccedil;&otilde;es molares de H2O, O2, H2, H, O e OH.</li>
<li><b>situa&ccedil;&atilde;o</b>: &ldquo;v&aacute;lida&rdquo;,
&ldquo;extrapolada&rdquo; (temperatura fora da faixa dos dados, ainda
v&aacute;lida) ou o motivo pelo qual a esta&ccedil;&atilde;o n&atilde;o tem
valores (&ldquo;sem garganta&rdquo;, &ldquo;sem sa&iacute;da&rdquo;, ...); uma
esta&ccedil;&atilde;o sem valores mostra &ldquo;-&rdquo;.</li>
</ul>
<p>No fim de <tt>foguete</tt>, para cada sa&iacute;da, o O/F de maior Isp e o
de maior Ivac no intervalo dos pontos do c&aacute;lculo, com &ldquo;no extremo
do intervalo&rdquo; quando o maior valor est&aacute; numa das pontas.</p>

<h3><a name="keys">Keys of a text window</a></h3>
<p>Page Up and Page Down scroll a page (with Ctrl, sideways); Home and End go
to the left and right edge (with Ctrl, also to the top and the bottom); the
arrow keys scroll by a line or a column. While a read waits, the characters
you type go into the line (at most 128); Backspace takes the last one back,
Tab types eight blanks and Enter ends the line.</p>

<h3><a name="using-help">Using help</a></h3>
<p>Choose Contents in the Help menu to see this text; click a link to go to a
topic. To get help on a menu item, open the menu, press F1, then choose the
item.</p>
)";

}  // namespace

HelpViewer::HelpViewer(const QString& program_name, QWidget* parent)
    : QDialog(parent), browser_(new QTextBrowser(this)) {
  setWindowTitle(program_name + QStringLiteral(" Help"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser_);
  browser_->setHtml(QString::fromUtf8(kHelpText).arg(program_name.toHtmlEscaped()));
  resize(560, 480);
}

void HelpViewer::show_contents() { show_topic(QStringLiteral("contents")); }

void HelpViewer::show_using_help() { show_topic(QStringLiteral("using-help")); }

void HelpViewer::show_topic(const QString& topic) {
  show();
  raise();
  activateWindow();
  browser_->scrollToAnchor(topic);
}

}  // namespace zuna
