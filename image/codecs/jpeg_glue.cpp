#include "image/codecs/jpeg_glue.h"

#include <cstdlib>

#include <jerror.h>  // the library's message codes

#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

TJpegErrorManager& ErrorsOf(j_common_ptr cinfo) {
  // pub is the first member, so the library's pointer is the manager's.
  return *reinterpret_cast<TJpegErrorManager*>(cinfo->err);
}

void ErrorExit(j_common_ptr cinfo) {
  TJpegErrorManager& errors = ErrorsOf(cinfo);
  if (errors.aborting) *errors.aborting = true;
  std::longjmp(errors.jump, 1);
}

// Warnings and traces are not shown anywhere.
void OutputMessage(j_common_ptr) {}

TJpegStreamSource& SourceOf(j_decompress_ptr cinfo) {
  return *reinterpret_cast<TJpegStreamSource*>(cinfo->src);
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  TJpegStreamSource& source = SourceOf(cinfo);
  std::size_t count = 0;
  try {
    count = source.stream->Read(source.buffer.data(), source.buffer.size());
  } catch (...) {
    source.errors->pending = std::current_exception();
  }
  // Outside the handler: the jump must not leave a catch block.
  if (source.errors->pending) source.errors->Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_READ);
  if (count == 0) source.errors->Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_INPUT_EOF);
  source.pub.next_input_byte = source.buffer.data();
  source.pub.bytes_in_buffer = count;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  TJpegStreamSource& source = SourceOf(cinfo);
  const auto skip = static_cast<std::size_t>(count);
  if (skip <= source.pub.bytes_in_buffer) {
    source.pub.next_input_byte += skip;
    source.pub.bytes_in_buffer -= skip;
    return;
  }
  const auto beyond = static_cast<std::int64_t>(skip - source.pub.bytes_in_buffer);
  source.pub.bytes_in_buffer = 0;
  try {
    source.stream->Seek(beyond, TSeekOrigin::soCurrent);
  } catch (...) {
    source.errors->pending = std::current_exception();
  }
  if (source.errors->pending) source.errors->Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_READ);
}

TJpegStreamDestination& DestinationOf(j_compress_ptr cinfo) {
  return *reinterpret_cast<TJpegStreamDestination*>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo) {
  TJpegStreamDestination& dest = DestinationOf(cinfo);
  dest.pub.next_output_byte = dest.buffer.data();
  dest.pub.free_in_buffer = dest.buffer.size();
}

void Flush(j_compress_ptr cinfo, std::size_t count) {
  TJpegStreamDestination& dest = DestinationOf(cinfo);
  try {
    dest.stream->WriteBuffer(dest.buffer.data(), count);
  } catch (...) {
    dest.errors->pending = std::current_exception();
  }
  if (dest.errors->pending) dest.errors->Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_WRITE);
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  Flush(cinfo, DestinationOf(cinfo).buffer.size());
  InitDestination(cinfo);
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  TJpegStreamDestination& dest = DestinationOf(cinfo);
  Flush(cinfo, dest.buffer.size() - dest.pub.free_in_buffer);
}

}  // namespace

bool IsJpegSignature(const std::uint8_t* bytes, std::size_t size) {
  return size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

TJpegErrorManager::TJpegErrorManager(const TProgressRec& progress) : aborting(progress.aborting) {
  jpeg_std_error(&pub);
  pub.error_exit = ErrorExit;
  pub.output_message = OutputMessage;
}

void TJpegErrorManager::Fail(j_common_ptr cinfo, int messageCode) {
  pub.msg_code = messageCode;
  pub.error_exit(cinfo);
  std::abort();  // error_exit never returns
}

TJpegStreamSource::TJpegStreamSource(TStream& s, TJpegErrorManager& e)
    : stream(&s), errors(&e), buffer(kBlockSize) {
  pub.init_source = InitSource;
  pub.fill_input_buffer = FillInputBuffer;
  pub.skip_input_data = SkipInputData;
  pub.resync_to_restart = jpeg_resync_to_restart;
  pub.term_source = TermSource;
}

bool TJpegStreamSource::Prime() {
  std::size_t count = 0;
  while (count < 3) {  // a stream may deliver less than asked for
    const std::size_t got = stream->Read(buffer.data() + count, buffer.size() - count);
    if (got == 0) break;
    count += got;
  }
  pub.next_input_byte = buffer.data();
  pub.bytes_in_buffer = count;
  return IsJpegSignature(buffer.data(), count);
}

void TJpegStreamSource::Attach(j_decompress_ptr cinfo) { cinfo->src = &pub; }

TJpegStreamDestination::TJpegStreamDestination(TStream& s, TJpegErrorManager& e)
    : stream(&s), errors(&e), buffer(kBlockSize) {
  pub.init_destination = InitDestination;
  pub.empty_output_buffer = EmptyOutputBuffer;
  pub.term_destination = TermDestination;
}

void TJpegStreamDestination::Attach(j_compress_ptr cinfo) { cinfo->dest = &pub; }

}  // namespace skyloom
