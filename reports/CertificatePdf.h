#pragma once

// The year's tax certificate drawn as PDF pages: A4 upright, the form's heading, the parties,
// the numbered rows with their amounts in Indian digit grouping, the notes and the signatory's
// verification. Names in the Indian scripts are drawn with the Noto fonts.

#include "Certificate.h"

class QPainter;
class QPagedPaintDevice;
class QPdfWriter;

namespace CertificatePdf {

// Sets a writer up for certificates: A4 portrait, its resolution and margins, the title.
void Setup(QPdfWriter &writer, const QString &title);

// Draws a document from the top of the current page of the painter's device, on as many pages
// as it needs; the caller starts a new page before the next document. Returns the pages drawn.
int Draw(QPainter &painter, QPagedPaintDevice &device, const Certificate::Document &document);

} // namespace CertificatePdf
