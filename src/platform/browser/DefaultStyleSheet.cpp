#include "platform/browser/DefaultStyleSheet.h"

namespace qv::browser {

const char* defaultStyleSheet() {
  return R"css(
html { display: block; font-family: "Times New Roman"; font-size: 16px; color: windowtext; }
head, script, style, title, meta, link, base, basefont, map, area, param, option, optgroup,
noscript, noframes, frameset, frame, xml { display: none; }
body { display: block; margin: 15px 10px; }

div, p, address, blockquote, center, dl, dt, dd, form, h1, h2, h3, h4, h5, h6,
ol, ul, pre, xmp, listing, plaintext, fieldset, marquee, hr, menu, dir { display: block; }
p { margin: 1em 0; }
h1 { font-size: 2em; margin: 0.67em 0; font-weight: bold; }
h2 { font-size: 1.5em; margin: 0.83em 0; font-weight: bold; }
h3 { font-size: 1.17em; margin: 1em 0; font-weight: bold; }
h4 { font-size: 1em; margin: 1.33em 0; font-weight: bold; }
h5 { font-size: 0.83em; margin: 1.67em 0; font-weight: bold; }
h6 { font-size: 0.67em; margin: 2.33em 0; font-weight: bold; }
blockquote { margin: 1em 40px; }
address { font-style: italic; }
center { text-align: center; }
center table { margin-left: auto; margin-right: auto; }
pre, xmp, listing, plaintext { white-space: pre; font-family: "Courier New"; font-size: 13px; margin: 1em 0; }
form { margin: 0 0 1em 0; }

ul, ol, menu, dir { margin: 1em 0 1em 40px; padding: 0; }
ul, menu, dir { list-style-type: disc; }
ol { list-style-type: decimal; }
li { display: list-item; }
ul ul, ol ul, menu ul, dir ul { list-style-type: circle; }
ul ul ul, ul ol ul, ol ul ul, ol ol ul { list-style-type: square; }
ul ul, ul ol, ol ul, ol ol { margin-top: 0; margin-bottom: 0; }
dl { margin: 1em 0; }
dd { margin-left: 40px; }

b, strong { font-weight: bold; }
i, em, cite, var, dfn { font-style: italic; }
u, ins { text-decoration: underline; }
s, strike, del { text-decoration: line-through; }
tt, code, kbd, samp { font-family: "Courier New"; }
big { font-size: larger; }
small { font-size: smaller; }
sub { vertical-align: sub; font-size: smaller; }
sup { vertical-align: super; font-size: smaller; }
nobr { white-space: nowrap; }
br { display: block; }

a:link { color: #0000ff; text-decoration: underline; }
a:link img { border: 2px solid #0000ff; }
img { display: inline-block; border: 0; }

hr { margin: 7px 0; border-style: solid; border-width: 1px;
     border-color: threedshadow threedhighlight threedhighlight threedshadow; }

table { display: table; border-collapse: separate; border-spacing: 2px;
        font-size: 16px; font-weight: normal; font-style: normal; white-space: normal; text-align: left; }
caption { display: table-caption; text-align: center; }
thead { display: table-header-group; vertical-align: middle; }
tbody { display: table-row-group; vertical-align: middle; }
tfoot { display: table-footer-group; vertical-align: middle; }
tr { display: table-row; vertical-align: inherit; }
col { display: table-column; }
colgroup { display: table-column-group; }
td, th { display: table-cell; padding: 1px; vertical-align: inherit; }
th { font-weight: bold; text-align: center; }

fieldset { margin: 0 2px; padding: 4px 8px 8px 8px; border: 2px groove threedface; }
legend { padding: 0 2px; }

input, select, textarea, button { font-family: Arial; font-size: 13px; font-weight: normal; font-style: normal;
        text-decoration: none; color: windowtext; text-align: left; text-indent: 0; white-space: pre; }
input, select, textarea { display: inline-block; border: 2px inset threedface; background-color: window; }
button { display: inline-block; border: 2px outset threedface; background-color: buttonface;
         color: buttontext; padding: 1px 6px; text-align: center; }
iframe, object, embed, applet { display: inline-block; }
iframe { border: 2px inset threedface; }
marquee { display: inline-block; }
)css";
}

}  // namespace qv::browser
