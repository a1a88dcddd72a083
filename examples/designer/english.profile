# The English profile: an English desktop (US English locale). run.sh en
# also gives its registry the machine-wide choice of English for the
# designer, as the designer's English edition installs it.
locale.langid = 1033
locale.lcid = 1033
locale.country = US
locale.abbrevLang = ENU
