#pragma once

// Copies pages from one PDF file into another as bytes: the pages and every object they reach
// (their contents, resources, fonts), renumbered, the streams as they stand. Meant for the
// files our own PDF writer (Qt's) writes: a classic cross-reference table, one trailer, no
// object streams, no encryption. The certificate run draws a few hundred certificates into one
// file, then cuts each employee's file out of it and adds its pages to the file of them all, so
// that a certificate is drawn, and its fonts are made, once.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>

#include <stdexcept>
#include <vector>

class QIODevice;

namespace PdfCopy {

// A file that is not such a PDF, or could not be read or written.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// A PDF file read through its cross-reference table (the file is mapped, not read into memory).
class Source
{
public:
    explicit Source(const QString &path);
    Source(const Source &) = delete;
    Source &operator=(const Source &) = delete;

    int pageCount() const { return static_cast<int>(m_pages.size()); }

    // The bytes of object `number` from after its "N G obj" to the end of the file; throws
    // Error when the table does not point at such an object.
    QByteArrayView object(int number) const;
    // The value of a direct number object (a stream's /Length written after the stream).
    qint64 number(int object) const;
    int pageObject(int page) const { return m_pages[static_cast<size_t>(page)]; }
    QString fileName() const { return m_file.fileName(); }
    // Tells one source from another, also one made where a gone one was.
    quint64 serial() const { return m_serial; }

private:
    void addPages(int pagesObject, int depth);

    QFile m_file;
    QByteArrayView m_data;
    quint64 m_serial;
    std::vector<qint64> m_offsets; // by object number; -1 for a free entry
    std::vector<int> m_pages;      // the page objects in their order
};

// A PDF file written page by page from sources: a header, the copied objects, and at the end
// the page tree, the catalogue, the document's information (its title), the table and trailer.
class Writer
{
public:
    Writer(QIODevice &out, const QString &title);
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    // Copies pages first .. first + count - 1 of the source with everything they reach; objects
    // that several pages of one source share (the fonts) are copied once.
    void addPages(const Source &source, int first, int count);
    // Writes the page tree, the catalogue, the information and the table. Throws Error when the
    // device did not take every byte.
    void finish();

    int pageCount() const { return static_cast<int>(m_kids.size()); }

private:
    void copy(const Source &source, int number, std::vector<int> &queue);
    int mapped(int number, std::vector<int> &queue);
    void put(QByteArrayView bytes);

    QIODevice &m_out;
    QString m_title;
    qint64 m_written = 0;
    bool m_failed = false;
    std::vector<qint64> m_offsets{0, 0, 0, 0}; // object 0, and 1-3: the catalogue, the page tree, the information
    std::vector<int> m_kids;
    quint64 m_source = 0;
    QHash<int, int> m_numbers; // the current source's objects: their numbers here
};

} // namespace PdfCopy
