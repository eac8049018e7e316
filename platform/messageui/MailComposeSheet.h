#pragma once

// The picture of the mail composer: a bar with Cancel, the title and Send, then one line for
// each of To, Cc and Subject, the body's first lines, and a line for each attachment with its
// name and size. It is drawn as one image, line by line, so that it needs no text views.

#include "platform/graphics/CGGeometry.h"
#include "platform/messageui/MailDraft.h"
#include "platform/uikit/UIImage.h"

// `draft` drawn as the composer shows it, `size` points at the main screen's scale; nil when
// the size has no area.
UIImageRef drawMailComposeSheet(const MailDraft& draft, CGSize size);
