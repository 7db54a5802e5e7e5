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
<p><a name="rocket"><b>Desempenho como motor-foguete...</b></a> calcula o
desempenho de um motor-foguete de H2/O2 com c&acirc;mara de &aacute;rea
infinita numa faixa de O/F pr&oacute;pria: a c&acirc;mara (equil&iacute;brio
a entalpia e press&atilde;o constantes), a garganta s&ocirc;nica e as
sa&iacute;das pedidas (expans&atilde;o isentr&oacute;pica). Os campos do
di&aacute;logo, de cima para baixo (a ordem da tecla Tab):</p>
<ul>
<li><b>faixa de O/F</b>: o primeiro e o &uacute;ltimo O/F (massa de O2 por
massa de H2) e o n&uacute;mero de <b>pontos</b>, igualmente espa&ccedil;ados
e com as duas pontas inclu&iacute;das (de 2 a 201; padr&atilde;o: de 2 a 16
em 15 pontos, onde operam os motores de H2/O2). Cada O/F deve estar entre 0,1
e 40 vezes o estequiom&eacute;trico (7,937), isto &eacute;, de 0,7937 a
317,4682; o primeiro, menor que o &uacute;ltimo. A busca do melhor O/F de
cada sa&iacute;da percorre a mesma faixa.</li>
<li><b>press&atilde;o na c&acirc;mara</b> Pc, em atm (de 1E-4 a 1E4; 68,046
atm s&atilde;o 1000 psia).</li>
<li><b>raz&otilde;es de press&atilde;o Pc/Pe</b>: at&eacute; quatro
sa&iacute;das dadas pela press&atilde;o da c&acirc;mara dividida pela da
sa&iacute;da (maiores que 1).</li>
<li><b>raz&otilde;es de &aacute;rea supers&ocirc;nicas Ae/At</b>: at&eacute;
quatro sa&iacute;das dadas pela &aacute;rea da sa&iacute;da dividida pela da
garganta, na parte divergente do bocal (1 ou maiores). Um campo vazio
n&atilde;o &eacute; usado; &eacute; preciso ao menos uma sa&iacute;da.</li>
<li><b>modelo da expans&atilde;o</b>: equil&iacute;brio (a
composi&ccedil;&atilde;o varia ao longo do bocal), congelado na c&acirc;mara
ou congelado na garganta (a composi&ccedil;&atilde;o fixa dali em
diante).</li>
<li><b>reagentes</b>: l&iacute;quidos (H2 e O2 criog&ecirc;nicos, com as
entalpias de H2(L) e O2(L)) ou gases a 298,15 K.</li>
</ul>
<p>Os n&uacute;meros aceitam o ponto ou a v&iacute;rgula decimal (20.5 ou
20,5) e o expoente (1E4 ou 1D4). Um valor fora da faixa, ou um texto que
n&atilde;o &eacute; n&uacute;mero, &eacute; recusado com uma mensagem que
nomeia o campo e a faixa aceita, e o di&aacute;logo volta com os valores
digitados para a corre&ccedil;&atilde;o.</p>
<p><a name="rocket-window"><b>A janela dos resultados</b></a> &eacute; uma
janela pr&oacute;pria, que pode ser movida, redimensionada e usada enquanto
o menu de gr&aacute;ficos espera: em cima, o melhor O/F de cada
sa&iacute;da, para o Isp e para o Ivac, com o valor do impulso e
&ldquo;extremo da faixa&rdquo; quando o melhor O/F est&aacute; numa das
pontas da faixa (o m&aacute;ximo pode estar al&eacute;m dela: amplie a
faixa); embaixo, uma linha por O/F e, para cada sa&iacute;da, um grupo de
colunas com Isp e Ivac em s. Os t&iacute;tulos das colunas ficam vis&iacute;veis
ao rolar a tabela, e a divis&atilde;o entre as duas partes pode ser
arrastada. <b>Copiar</b> (Ctrl+C) copia a tabela inteira, com as colunas
separadas por tabula&ccedil;&otilde;es, para colar numa planilha;
<b>Salvar como CSV...</b> grava a mesma tabela num arquivo CSV (separado por
v&iacute;rgulas, ponto decimal, UTF-8). Uma c&eacute;lula vazia, ou o motivo
(&ldquo;sem sa&iacute;da&rdquo;, ...), marca uma sa&iacute;da sem valor.
Um novo c&aacute;lculo de desempenho substitui o conte&uacute;do da janela;
&ldquo;Novo C&aacute;lculo&rdquo; no menu de gr&aacute;ficos a fecha, e ela
fecha com o programa.</p>
<p><a name="rocket-plot"><b>Gr&aacute;fico do impulso espec&iacute;fico</b></a>
desenha Isp (linha cheia) e Ivac (tracejada) [s] contra O/F, uma cor por
sa&iacute;da; o melhor O/F de cada sa&iacute;da &eacute; marcado (c&iacute;rculo
cheio: Isp; vazio: Ivac) e escrito ao lado, na cor da curva, com &ldquo;(no
extremo)&rdquo; quando est&aacute; numa ponta da faixa (<tt>wgnuplot
isp.gnu</tt>).
<a name="rocket-listing"><b>Listagem do desempenho</b></a> mostra o arquivo
<tt>foguete</tt> (<tt>notepad foguete</tt>). Os dois ficam dispon&iacute;veis
enquanto mostram os resultados do &uacute;ltimo c&aacute;lculo de desempenho:
depois de &ldquo;Novo C&aacute;lculo&rdquo;, s&oacute; depois de um novo
c&aacute;lculo de desempenho.</p>
<p><a name="rocket-report"><b>O relat&oacute;rio</b></a> <tt>foguete</tt>
come&ccedil;a com o programa e sua vers&atilde;o, a data e a hora, a origem
dos dados termodin&acirc;micos e o problema; depois o resumo (Isp e Ivac em s
de cada sa&iacute;da por O/F, numa tabela, e o melhor O/F de cada
sa&iacute;da); depois, para cada O/F, as esta&ccedil;&otilde;es em detalhe,
em blocos que cabem em 100 colunas. O arquivo <tt>isp.dat</tt> guarda os
dados do gr&aacute;fico.</p>
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
<p>No resumo de <tt>foguete</tt>, para cada sa&iacute;da, o O/F de maior Isp
e o de maior Ivac na faixa de O/F do di&aacute;logo, com &ldquo;no extremo do
intervalo&rdquo; quando o maior valor est&aacute; numa das pontas.</p>

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
