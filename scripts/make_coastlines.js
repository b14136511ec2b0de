#!/usr/bin/env node
// Converts Natural Earth's 1:110m land outlines, as the npm package world-atlas carries them
// (TopoJSON), into the small coastline file that ionex.plot draws. Run once by hand; the
// output is committed, so neither building nor testing needs npm.
//
//   mkdir /tmp/ne && (cd /tmp/ne && npm install world-atlas@2.0.2 topojson-client@3)
//   node scripts/make_coastlines.js /tmp/ne/node_modules \
//        src/gateway/ionex_package/+ionex/private/coastlines_110m.bin
//
// Output format (read by ionex.plot, +ionex/plot.m):
//   8 bytes   "IXCOAST1"
//   uint32    number N of (lon, lat) pairs that follow, little-endian
//   N pairs   int16 little-endian: longitude, latitude in hundredths of a degree
//             (-18000..18000, -9000..9000); the pair (-32768, -32768) ends a line.
// Lines never jump across the antimeridian: a coast that crosses it is cut at +-180 and goes
// on from the other side, so every line can be drawn as it is on a -180..180 map.
'use strict';

const fs = require('fs');
const path = require('path');

const BREAK = -32768;

// Loads world-atlas's land-110m.json and topojson-client from the node_modules folder DIR.
// Returns the land outlines as a list of lines, each a list of [lon, lat].
function landOutlines(dir) {
  const topojson = require(path.join(dir, 'topojson-client'));
  const topology = JSON.parse(fs.readFileSync(path.join(dir, 'world-atlas', 'land-110m.json'), 'utf8'));
  // The mesh of the land object: every arc once, i.e. the coastlines (and lake shores that
  // the 1:110m land polygons leave as holes).
  return topojson.mesh(topology, topology.objects.land).coordinates;
}

// Splits a line where consecutive points lie on opposite sides of the antimeridian, adding the
// crossing point on both sides, and drops pieces that run along the +-180 meridian itself
// (edges where Natural Earth cut a polygon, not coast). Returns the list of pieces.
function splitAtAntimeridian(line) {
  const pieces = [];
  let piece = [line[0]];
  for (let i = 1; i < line.length; i++) {
    const a = line[i - 1];
    const b = line[i];
    const dlon = b[0] - a[0];
    if (Math.abs(dlon) > 180) {
      // The short way round: b shifted by 360 degrees towards a.
      const bx = b[0] - Math.sign(dlon) * 360;
      const edge = bx > a[0] ? 180 : -180;
      const f = bx === a[0] ? 0 : (edge - a[0]) / (bx - a[0]);
      const lat = a[1] + f * (b[1] - a[1]);
      piece.push([edge, lat]);
      pieces.push(piece);
      piece = [[-edge, lat], b];
    } else {
      piece.push(b);
    }
  }
  pieces.push(piece);

  // Segments on the meridian +-180 (both ends there, on the same side) are cut edges.
  const out = [];
  for (const p of pieces) {
    let run = [p[0]];
    for (let i = 1; i < p.length; i++) {
      const a = p[i - 1];
      const b = p[i];
      if (Math.abs(a[0]) === 180 && a[0] === b[0]) {
        if (run.length > 1) out.push(run);
        run = [b];
      } else {
        run.push(b);
      }
    }
    if (run.length > 1) out.push(run);
  }
  return out;
}

// Rounds to hundredths of a degree and drops repeated points. Returns [lon, lat] integers.
function quantize(line) {
  const q = [];
  for (const [lon, lat] of line) {
    const p = [Math.round(lon * 100), Math.round(lat * 100)];
    if (q.length === 0 || q[q.length - 1][0] !== p[0] || q[q.length - 1][1] !== p[1]) q.push(p);
  }
  return q;
}

function main() {
  if (process.argv.length !== 4) {
    console.error('usage: node make_coastlines.js <node_modules folder> <output file>');
    process.exit(2);
  }
  const [dir, output] = process.argv.slice(2);
  const lines = [];
  for (const line of landOutlines(dir)) {
    for (const piece of splitAtAntimeridian(line)) {
      const q = quantize(piece);
      if (q.length > 1) lines.push(q);
    }
  }
  const pairs = lines.reduce((n, l) => n + l.length + 1, 0);
  const buf = Buffer.alloc(12 + 4 * pairs);
  buf.write('IXCOAST1', 0, 'ascii');
  buf.writeUInt32LE(pairs, 8);
  let at = 12;
  for (const l of lines) {
    for (const [lon, lat] of l.concat([[BREAK, BREAK]])) {
      buf.writeInt16LE(lon, at);
      buf.writeInt16LE(lat, at + 2);
      at += 4;
    }
  }
  fs.writeFileSync(output, buf);
  console.log(`${output}: ${lines.length} lines, ${pairs - lines.length} points, ${buf.length} bytes`);
}

main();
