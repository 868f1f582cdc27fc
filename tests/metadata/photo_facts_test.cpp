// The facts of photos made by Pillow, the exiv2 program and ffmpeg.
#include "metadata/fact_time.hpp"
#include "metadata/fixtures.hpp"
#include "support/temp_dir.hpp"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::ReadIn;

const FactSet kPhoto =
    FactSet(Fact::Taken) | Fact::Make | Fact::Model | Fact::Lens | Fact::Width | Fact::Height;

LocalTime At(const char* text) {
    return metadata::ParseMoment(text).value();
}

class MetadataPhotos : public ::testing::Test {
protected:
    void SetUp() override { QUORVEL_NEED_TOOL(python, "Pillow (python3-pil)"); }

    test::TempDir dir_;
};

TEST_F(MetadataPhotos, JpegTakenWithFractionAndOffsetCameraLensAndSize) {
    test::MakePicture(dir_ / "a.jpg", 64, 48,
                      "{0x010f: 'Canon', 0x0110: 'EOS R5', 0x0132: '2025:01:01 10:00:00'}",
                      "{0x9003: '2024:07:14 15:30:12', 0x9291: '347', 0x9011: '+02:00',"
                      " 0xa434: 'RF24-105mm F4 L IS USM', 0xa002: 4000, 0xa003: 3000}");
    const FileFacts facts = ReadIn(dir_.path(), "a.jpg", kPhoto);
    ASSERT_TRUE(facts.taken);
    EXPECT_EQ(facts.taken->value, At("2024-07-14T15:30:12.347+02:00"));
    EXPECT_EQ(facts.taken->source, "DateTimeOriginal 2024:07:14 15:30:12.347 +02:00");
    ASSERT_TRUE(facts.make && facts.model && facts.lens && facts.width && facts.height);
    EXPECT_EQ(facts.make->value, "Canon");
    EXPECT_EQ(facts.model->value, "EOS R5");
    EXPECT_EQ(facts.lens->value, "RF24-105mm F4 L IS USM");
    // The picture's own size, not what its EXIF says of a larger original.
    EXPECT_EQ(facts.width->value, 64);
    EXPECT_EQ(facts.height->value, 48);
    EXPECT_FALSE(facts.modified);
    EXPECT_FALSE(facts.artist);

    const FileFacts dateOnly = ReadIn(dir_.path(), "a.jpg", Fact::Taken);
    EXPECT_TRUE(dateOnly.taken);
    EXPECT_FALSE(dateOnly.make || dateOnly.width);
}

TEST_F(MetadataPhotos, TheEditDateIsNeverTheDateTaken) {
    test::MakePicture(dir_ / "edited.jpg", 8, 8, "{0x0132: '2025:01:01 10:00:00'}");
    test::MakePicture(dir_ / "digitized.jpg", 8, 8, "{0x0132: '2025:01:01 10:00:00'}",
                      "{0x9004: '2024:07:14 15:30:12', 0x9292: '5', 0x9012: '-05:00'}");
    test::MakePicture(dir_ / "zeros.jpg", 8, 8, "{}",
                      "{0x9003: '0000:00:00 00:00:00', 0x9004: '2024:07:14 15:30:12'}");
    test::MakePicture(dir_ / "plain.jpg", 8, 8, "{}", "{0x9003: '2024:07:14 15:30:12'}");
    test::MakePicture(dir_ / "nothing.jpg", 8, 8);

    EXPECT_FALSE(ReadIn(dir_.path(), "edited.jpg", kPhoto).taken);
    const FileFacts digitized = ReadIn(dir_.path(), "digitized.jpg", Fact::Taken);
    ASSERT_TRUE(digitized.taken);
    EXPECT_EQ(digitized.taken->value, At("2024-07-14T15:30:12.5-05:00"));
    EXPECT_EQ(digitized.taken->source, "DateTimeDigitized 2024:07:14 15:30:12.5 -05:00");
    const FileFacts zeros = ReadIn(dir_.path(), "zeros.jpg", Fact::Taken);
    ASSERT_TRUE(zeros.taken);
    EXPECT_EQ(zeros.taken->source, "DateTimeDigitized 2024:07:14 15:30:12");
    const FileFacts plain = ReadIn(dir_.path(), "plain.jpg", Fact::Taken);
    ASSERT_TRUE(plain.taken);
    EXPECT_EQ(plain.taken->value.subSeconds, "");
    EXPECT_FALSE(plain.taken->value.offsetMinutes);

    const FileFacts nothing = ReadIn(dir_.path(), "nothing.jpg", kPhoto);
    EXPECT_FALSE(nothing.taken || nothing.make || nothing.model || nothing.lens);
    EXPECT_EQ(nothing.width->value, 8);
}

TEST_F(MetadataPhotos, XmpDatesWhenExifHasNone) {
    QUORVEL_NEED_TOOL(exiv2, "exiv2");
    test::MakePicture(dir_ / "x.jpg", 8, 8);
    test::SetTags(dir_ / "x.jpg", {"set Xmp.xmp.CreateDate 2023-01-02T03:04:05.5+01:00"});
    FileFacts facts = ReadIn(dir_.path(), "x.jpg", Fact::Taken);
    ASSERT_TRUE(facts.taken);
    EXPECT_EQ(facts.taken->value, At("2023-01-02T03:04:05.5+01:00"));
    EXPECT_EQ(facts.taken->source, "XMP xmp:CreateDate 2023-01-02T03:04:05.5+01:00");

    test::SetTags(dir_ / "x.jpg", {"set Xmp.exif.DateTimeOriginal 2022-06-07T08:09:10Z"});
    facts = ReadIn(dir_.path(), "x.jpg", Fact::Taken);
    ASSERT_TRUE(facts.taken);
    EXPECT_EQ(facts.taken->value, At("2022-06-07T08:09:10Z"));
}

TEST_F(MetadataPhotos, PngWebpTiffDngAndHeif) {
    QUORVEL_NEED_TOOL(exiv2, "exiv2");
    const std::string exif = "{0x9003: '2024:07:14 15:30:12', 0x9011: '+02:00'}";
    test::MakePicture(dir_ / "p.png", 30, 20, "{0x010f: 'Canon'}", exif);
    test::MakePicture(dir_ / "p.webp", 30, 20, "{0x010f: 'Canon'}", exif);
    test::MakeHeif(dir_ / "p.heic", "{0x010f: 'Canon'}", exif);
    // Pillow writes no Exif IFD into a TIFF; the exiv2 program does.
    test::MakePicture(dir_ / "p.tif", 30, 20);
    test::SetTags(dir_ / "p.tif",
                  {"set Exif.Image.Make Canon", "set Exif.Photo.DateTimeOriginal 2024:07:14 15:30:12",
                   "set Exif.Photo.OffsetTimeOriginal +02:00"});
    std::filesystem::copy_file(dir_ / "p.tif", dir_ / "p.dng");
    test::SetTags(dir_ / "p.dng", {"set Exif.Image.DNGVersion 1 4 0 0"});

    for (const auto& [name, width, height] :
         {std::tuple{"p.png", 30, 20}, std::tuple{"p.webp", 30, 20}, std::tuple{"p.heic", 64, 48},
          std::tuple{"p.tif", 30, 20}, std::tuple{"p.dng", 30, 20}}) {
        SCOPED_TRACE(name);
        const FileFacts facts = ReadIn(dir_.path(), name, kPhoto);
        ASSERT_TRUE(facts.taken);
        EXPECT_EQ(facts.taken->value, At("2024-07-14T15:30:12+02:00"));
        ASSERT_TRUE(facts.make && facts.width && facts.height);
        EXPECT_EQ(facts.make->value, "Canon");
        EXPECT_EQ(facts.width->value, width);
        EXPECT_EQ(facts.height->value, height);
    }
}

TEST_F(MetadataPhotos, AvifSize) {
    QUORVEL_NEED_TOOL(ffmpeg, "ffmpeg");
    test::MakeVideo(dir_ / "p.avif", {"-frames:v", "1", "-c:v", "libaom-av1", "-still-picture", "1"});
    const FileFacts facts = ReadIn(dir_.path(), "p.avif", kPhoto);
    ASSERT_TRUE(facts.width && facts.height);
    EXPECT_EQ(facts.width->value, 64);
    EXPECT_EQ(facts.height->value, 48);
    EXPECT_FALSE(facts.taken);
}

} // namespace
} // namespace quorvel
