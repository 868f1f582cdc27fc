#!/usr/bin/env bash
# Makes the seeds of the metadata fuzz target (fuzz/metadata_corpus): small photos,
# videos and songs made here by Pillow, the exiv2 program and ffmpeg.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/fuzz/metadata_corpus"
python=/usr/bin/python3
[ -x "$python" ] || python=python3
fixtures="$root/tests/metadata/make_fixtures.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# seed NAME FILE: the file kept as the seed NAME.
seed() {
    cp "$2" "$out/$1"
}
ffmpeg_quiet() {
    ffmpeg -nostdin -hide_banner -loglevel error -y "$@"
}

exif="{0x9003: '2024:07:14 15:30:12', 0x9291: '347', 0x9011: '+02:00', 0xa434: 'RF24-105mm'}"
ifd0="{0x010f: 'Canon', 0x0110: 'EOS R5', 0x0132: '2025:01:01 10:00:00'}"
"$python" "$fixtures" picture "$work/p.jpg" 8 8 "$ifd0" "$exif"
"$python" "$fixtures" picture "$work/p.png" 8 8 "$ifd0" "$exif"
"$python" "$fixtures" picture "$work/p.webp" 8 8 "$ifd0" "$exif"
"$python" "$fixtures" picture "$work/p.tif" 4 4 "{}" "{}"
exiv2 -M"set Exif.Image.Make Nikon" -M"set Exif.Photo.DateTimeOriginal 2024:07:14 15:30:12" \
    -M"set Xmp.xmp.CreateDate 2023-01-02T03:04:05.5+01:00" "$work/p.tif"
"$python" "$fixtures" heif "$work/p.heic" "$ifd0" "$exif"
seed jpeg-exif "$work/p.jpg"
seed tiff-exif-xmp "$work/p.tif"
seed png-exif "$work/p.png"
seed webp-exif "$work/p.webp"
seed heif-exif "$work/p.heic"

video=(-f lavfi -i color=c=red:s=16x16:d=0.04 -c:v mpeg4)
ffmpeg_quiet "${video[@]}" -metadata creation_time=2024-07-14T13:30:12Z "$work/v.mp4"
ffmpeg_quiet "${video[@]}" -movflags use_metadata_tags -metadata com.apple.quicktime.creationdate=2024-07-14T15:30:12+0200 \
    -metadata com.apple.quicktime.make=Apple "$work/v.mov"
seed mp4-mvhd "$work/v.mp4"
seed mov-apple-keys "$work/v.mov"

tags=(-metadata artist=AC/DC -metadata album=Album -metadata date=1980 -metadata track=3/12 -metadata disc=1/2)
audio=(-f lavfi -i sine=d=0.02 -ar 8000 -ac 1)
ffmpeg_quiet "${audio[@]}" -c:a libmp3lame -b:a 8k "${tags[@]}" "$work/a.mp3"
ffmpeg_quiet "${audio[@]}" -c:a flac "${tags[@]}" "$work/a.flac"
ffmpeg_quiet "${audio[@]}" -c:a libvorbis "${tags[@]}" "$work/a.ogg"
ffmpeg_quiet "${audio[@]}" -c:a aac -b:a 8k "${tags[@]}" "$work/a.m4a"
ffmpeg_quiet "${audio[@]}" "${tags[@]}" "$work/a.wav"
seed mp3-id3v2 "$work/a.mp3"
seed flac-comments "$work/a.flac"
seed ogg-vorbis "$work/a.ogg"
seed m4a-tags "$work/a.m4a"
seed wav-info "$work/a.wav"
ls -l "$out"
