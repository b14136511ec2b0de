function img = check_png(label, png, min_colours, colours)
% Checks that PNG was written and shows a picture: at least 400-by-400 pixels, at least
% MIN_COLOURS distinct colours, no single colour (the background) on more than 98% of the
% pixels, and, for each row of COLOURS (0..255 RGB), at least 100 pixels within 3 of it in
% every channel.
  img = [];
  if ~tcheck([label ': PNG written'], exist(png, 'file') == 2, png)
    return;
  end
  img = imread(png);
  tcheck([label ': PNG is an RGB image of at least 400x400 pixels'], ...
         ndims(img) == 3 && size(img, 3) == 3 && rows(img) >= 400 && columns(img) >= 400, ...
         sprintf('size %s', mat2str(size(img))));
  pixels = double(reshape(img, [], size(img, 3)));
  [~, ~, j] = unique(pixels, 'rows');
  counts = accumarray(j, 1);
  tcheck(sprintf('%s: at least %d distinct colours', label, min_colours), ...
         numel(counts) >= min_colours, sprintf('%d colours', numel(counts)));
  tcheck([label ': no colour covers more than 98% of the image'], ...
         max(counts) <= 0.98 * rows(pixels), ...
         sprintf('most frequent colour on %d of %d pixels', max(counts), rows(pixels)));
  for k = 1:rows(colours)
    near = all(abs(pixels(:, 1:3) - colours(k, :)) <= 3, 2);
    tcheck(sprintf('%s: colour %s drawn', label, mat2str(colours(k, :))), nnz(near) >= 100, ...
           sprintf('%d pixels near it', nnz(near)));
  end
end
