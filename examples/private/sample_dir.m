function d = sample_dir()
%SAMPLE_DIR  The folder of the bundled sample files the examples read by default.
%   data/ beside the installed examples, tests/data in the sources. Returns the folder.
  examples = fileparts(fileparts(mfilename('fullpath')));   % this file is in examples/private
  d = fullfile(examples, 'data');
  if ~exist(d, 'dir')
    d = fullfile(fileparts(examples), 'tests', 'data');
  end
end
