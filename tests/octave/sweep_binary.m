function [v, state] = sweep_binary(gz, z_head, text, state)
% Binary and compressed damage: random bytes, random bytes behind the gzip and compress
% magics, bare magics and flag bytes, and the gzip member GZ (of the IONEX text TEXT) with a
% bad CRC or length, cut short, followed by garbage, by another member, by the compress
% stream head Z_HEAD or by plain text. An N-by-2 cell of {name, bytes}.
  v = cell(0, 2);
  prefixes = {uint8([]), uint8([31 139]), uint8([31 157]), uint8([31 157 144])};
  counts = [60 40 40 40];
  for p = 1:numel(prefixes)
    [sizes, state] = sweep_rng(state, counts(p), 6000);
    for k = 1:counts(p)
      [bytes, state] = sweep_rng(state, sizes(k), 256);
      v(end+1, :) = {sprintf('random-%d-%d', p, k), [prefixes{p} uint8(bytes - 1)]};
    end
  end
  [flags, state] = sweep_rng(state, 20, 256);
  for k = 1:20
    [bytes, state] = sweep_rng(state, 200 * k, 256);
    v(end+1, :) = {sprintf('compress-flag-%02x', flags(k) - 1), uint8([31 157 flags(k) - 1 bytes - 1])};
  end

  crc = gz; crc(end - 7) = bitxor(crc(end - 7), uint8(1));
  len = gz; len(end - 3) = bitxor(len(end - 3), uint8(1));
  [garbage, state] = sweep_rng(state, 500, 256);
  garbage = uint8(garbage - 1);
  utf16 = reshape([text; zeros(size(text), 'uint8')], 1, []);
  special = {'empty', uint8([]);  'gzip-1', uint8(31);  'gzip-magic', uint8([31 139]);
             'compress-magic', uint8([31 157]);  'compress-flag-only', uint8([31 157 144]);
             'compress-31-bits', uint8([31 157 159 1 2 3]);  'compress-8-bits', uint8([31 157 8 65 66]);
             'compress-zero-code', uint8([31 157 144 0 0]);  'gzip-header-only', gz(1:10);
             'gzip-bad-crc', crc;  'gzip-bad-length', len;  'gzip-no-trailer', gz(1:end-8);
             'gzip-garbage', [gz garbage];  'gzip-gzip', [gz gz];  'gzip-compress', [gz z_head];
             'gzip-text', [gz text];  'compress-garbage', [z_head garbage];  'text-gzip', [text gz];
             'gzip-magic-text', [uint8([31 139]) text];  'compress-magic-text', [uint8([31 157]) text];
             'utf16-text', utf16;  'gzip-bad-crc-garbage', [crc garbage]};
  v = [v; special];
end
