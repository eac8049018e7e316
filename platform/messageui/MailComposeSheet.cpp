#include "platform/messageui/MailComposeSheet.h"

#include "platform/messageui/MimeEncoding.h"
#include "platform/uikit/UIGraphics.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr CGFloat kBarHeight = 44;
constexpr CGFloat kFieldHeight = 32;
constexpr CGFloat kBodyLineHeight = 20;
constexpr CGFloat kAttachmentHeight = 30;
constexpr CGFloat kMargin = 10;
constexpr CGFloat kLabelWidth = 68;

CGColorRef grey(float white) {
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), {white, white, white, 1});
}

CGColorRef tint() {
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), {0.0f, 0.48f, 1.0f, 1});
}

void fill(const CGContextRef& ctx, CGRect rect, const CGColorRef& color) {
    CGContextSetFillColorWithColor(ctx, color);
    CGContextFillRect(ctx, rect);
}

void text(const CGContextRef& ctx, std::string_view line, CGRect rect, CGFloat size,
          CGColorRef color, CGTextWeight weight = CGTextWeight::Regular,
          CGTextAlignment alignment = CGTextAlignment::Left) {
    CGContextShowTextInRect(ctx, withoutControlCharacters(line), rect,
                            {size, weight, alignment, std::move(color)});
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : ", ") + item;
    return out;
}

// The size of `bytes` as a person reads it: "812 bytes", "4.2 KB".
std::string sizeText(std::size_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " bytes";
    const std::size_t tenths = (bytes * 10 + 512) / 1024;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " KB";
}

void drawBar(const CGContextRef& ctx, CGFloat width) {
    fill(ctx, {{0, 0}, {width, kBarHeight}}, grey(0.96f));
    fill(ctx, {{0, kBarHeight - 1}, {width, 1}}, grey(0.8f));
    text(ctx, "Cancel", {{kMargin, 0}, {70, kBarHeight}}, 16, tint());
    text(ctx, "New Message", {{0, 0}, {width, kBarHeight}}, 17, grey(0), CGTextWeight::Bold,
         CGTextAlignment::Center);
    text(ctx, "Send", {{width - 50, 0}, {50, kBarHeight}}, 16, tint(), CGTextWeight::Bold);
}

// One labelled field with a hairline under it; answers the y below it.
CGFloat drawField(const CGContextRef& ctx, CGFloat y, CGFloat width, std::string_view label,
                  std::string_view value) {
    text(ctx, label, {{kMargin, y}, {kLabelWidth, kFieldHeight}}, 15, grey(0.55f));
    text(ctx, value,
         {{kMargin + kLabelWidth, y}, {width - kLabelWidth - 2 * kMargin, kFieldHeight}}, 15,
         grey(0));
    fill(ctx, {{kMargin, y + kFieldHeight - 1}, {width - kMargin, 1}}, grey(0.85f));
    return y + kFieldHeight;
}

// The body's lines from `top` down to `bottom`; lines too long for the width are cut.
void drawBody(const CGContextRef& ctx, const std::string& body, CGFloat top, CGFloat bottom,
              CGFloat width) {
    std::size_t start = 0;
    for (CGFloat y = top + 6; y + kBodyLineHeight <= bottom && start <= body.size();
         y += kBodyLineHeight) {
        const std::size_t end = std::min(body.find('\n', start), body.size());
        text(ctx, std::string_view(body).substr(start, end - start),
             {{kMargin, y}, {width - 2 * kMargin, kBodyLineHeight}}, 14, grey(0.1f));
        start = end + 1;
    }
}

void drawAttachment(const CGContextRef& ctx, const MailAttachment& attachment, CGFloat y,
                    CGFloat width) {
    const CGRect box{{kMargin, y + 3}, {width - 2 * kMargin, kAttachmentHeight - 6}};
    fill(ctx, box, grey(0.92f));
    text(ctx, attachment.fileName.empty() ? "Attachment" : attachment.fileName,
         {{box.origin.x + 8, box.origin.y}, {box.size.width - 96, box.size.height}}, 13,
         grey(0.1f));
    text(ctx, sizeText(attachment.data.size()),
         {{CGRectGetMaxX(box) - 80, box.origin.y}, {76, box.size.height}}, 12, grey(0.45f));
}

void drawSheet(const CGContextRef& ctx, const MailDraft& draft, CGSize size) {
    fill(ctx, {CGPointZero, size}, grey(1));
    drawBar(ctx, size.width);
    CGFloat y = drawField(ctx, kBarHeight, size.width, "To:", joined(draft.toRecipients));
    y = drawField(ctx, y, size.width, "Cc:", joined(draft.ccRecipients));
    y = drawField(ctx, y, size.width, "Subject:", draft.subject);
    // The attachments sit at the bottom, below as much of the body as fits above them.
    CGFloat attachmentY =
        std::max(y, size.height - kAttachmentHeight * draft.attachments.size() - 6);
    drawBody(ctx, draft.body, y, attachmentY, size.width);
    for (const auto& attachment : draft.attachments) {
        drawAttachment(ctx, attachment, attachmentY, size.width);
        attachmentY += kAttachmentHeight;
    }
}

}  // namespace

UIImageRef drawMailComposeSheet(const MailDraft& draft, CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, true, 0);
    const CGContextRef ctx = UIGraphicsGetCurrentContext();
    if (ctx) drawSheet(ctx, draft, size);
    UIImageRef image = ctx ? UIGraphicsGetImageFromCurrentImageContext() : nullptr;
    UIGraphicsEndImageContext();
    return image;
}
