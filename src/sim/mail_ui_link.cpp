#include "sim/mail_ui_link.h"

MailUiLink g_mailUi;
