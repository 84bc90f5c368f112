#include "CompoundFile.h"

#include <gsf/gsf.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace pwt::doc {
namespace {

struct GObjectUnref {
    void operator()(gpointer p) const
    {
        if (p)
            g_object_unref(p);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

void initGsfOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

void putString(GsfDocMetaData* meta, const char* name, const std::string& text)
{
    if (text.empty())
        return;
    gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
    auto* value = g_new0(GValue, 1);
    g_value_init(value, G_TYPE_STRING);
    g_value_take_string(value, valid);
    gsf_doc_meta_data_insert(meta, g_strdup(name), value);
}

GPtr<GsfDocMetaData> metadataOf(const DocumentInfo& info)
{
    GPtr<GsfDocMetaData> meta(gsf_doc_meta_data_new());
    putString(meta.get(), GSF_META_NAME_TITLE, info.title);
    putString(meta.get(), GSF_META_NAME_CREATOR, info.author);
    putString(meta.get(), GSF_META_NAME_SUBJECT, info.subject);
    putString(meta.get(), GSF_META_NAME_KEYWORDS, info.keywords);
    putString(meta.get(), GSF_META_NAME_GENERATOR, "pwt");
    // Plain ASCII goes as Windows-1252, which even the oldest readers take;
    // anything else (Chinese titles) as UTF-16, code page 1200.
    bool ascii = true;
    for (const std::string* s : {&info.title, &info.author, &info.subject, &info.keywords})
        for (char c : *s)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    auto* codepage = g_new0(GValue, 1);
    g_value_init(codepage, G_TYPE_INT);
    g_value_set_int(codepage, ascii ? 1252 : 1200);
    gsf_doc_meta_data_insert(meta.get(), g_strdup("msole:codepage"), codepage);
    return meta;
}

std::string outputError(GsfOutput* out, const char* what)
{
    const GError* err = gsf_output_error(out);
    std::string reason = std::string("cannot write ") + what;
    if (err && err->message)
        reason += std::string(": ") + err->message;
    return reason;
}

// Writes one child stream of the compound file; empty on success.
std::string writeChild(GsfOutfile* file, const char* name, const guint8* data, gsize size)
{
    GPtr<GsfOutput> child(gsf_outfile_new_child(file, name, FALSE));
    if (!child)
        return std::string("cannot create the ") + name + " stream";
    if (size != 0 && !gsf_output_write(child.get(), size, data))
        return outputError(child.get(), name);
    if (!gsf_output_close(child.get()))
        return outputError(child.get(), name);
    return {};
}

// documentSummary selects the DocumentSummaryInformation half of the properties.
std::string writeMetadata(GsfOutfile* file, const char* name, GsfDocMetaData* meta, bool documentSummary)
{
    GPtr<GsfOutput> child(gsf_outfile_new_child(file, name, FALSE));
    if (!child)
        return std::string("cannot create the ") + name + " stream";
    if (!gsf_doc_meta_data_write_to_msole(meta, child.get(), documentSummary ? TRUE : FALSE))
        return outputError(child.get(), name);
    if (!gsf_output_close(child.get()))
        return outputError(child.get(), name);
    return {};
}

} // namespace

std::string writeCompoundFile(int fd, const std::vector<NamedStream>& streams, const DocumentInfo& info)
{
    initGsfOnce();
    // libgsf is handed a stream on our descriptor, never a path: it cannot
    // follow a link, nor make files of its own beside the destination.
    const int own = ::dup(fd);
    std::FILE* stream = own >= 0 ? ::fdopen(own, "w+b") : nullptr;
    if (!stream) {
        const std::string reason = std::string("cannot open the output file for writing: ") + std::strerror(errno);
        if (own >= 0)
            ::close(own);
        return reason;
    }
    std::string failure;
    {
        GPtr<GsfOutput> sink(gsf_output_stdio_new_FILE("document", stream, TRUE));
        GPtr<GsfOutfile> file(gsf_outfile_msole_new(sink.get()));
        for (const NamedStream& s : streams) {
            failure = writeChild(file.get(), s.name.c_str(), s.data->data(), s.data->size());
            if (!failure.empty())
                break;
        }
        if (failure.empty()) {
            const auto meta = metadataOf(info);
            failure = writeMetadata(file.get(), "\005SummaryInformation", meta.get(), false);
            if (failure.empty())
                failure = writeMetadata(file.get(), "\005DocumentSummaryInformation", meta.get(), true);
        }
        if (!failure.empty())
            gsf_output_set_error(GSF_OUTPUT(file.get()), 0, "%s", failure.c_str());
        const bool fileClosed = gsf_output_close(GSF_OUTPUT(file.get()));
        if (failure.empty() && !fileClosed)
            failure = outputError(GSF_OUTPUT(file.get()), "the compound file");
        const bool sinkClosed = gsf_output_is_closed(sink.get()) || gsf_output_close(sink.get());
        if (failure.empty() && !sinkClosed)
            failure = outputError(sink.get(), "the output file");
    }
    // The last buffered bytes reach the file here: a full disk shows now.
    if (std::fclose(stream) != 0 && failure.empty())
        failure = std::string("cannot write the output file: ") + std::strerror(errno);
    return failure;
}

} // namespace pwt::doc
